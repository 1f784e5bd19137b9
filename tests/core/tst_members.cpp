// Household members: login, adding, deleting, renaming, and what reaches the member file.
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QFile>
#include <QTest>

class TestMembers : public QObject
{
    Q_OBJECT
private slots:
    void loginByExactName()
    {
        TestInstallation install;
        g_memberList = {QStringLiteral("Li"), QStringLiteral("Wang"), QStringLiteral("Wang"), QStringLiteral("pw"),
                        QStringLiteral("Zhao"), QString()};
        QCOMPARE(CheckLogin(QString(), QString()), QStringLiteral("请输入家庭成员"));
        QCOMPARE(CheckLogin(QStringLiteral("li"), QStringLiteral("Wang")), QStringLiteral(" 您输入的用户不存在"));
        QCOMPARE(CheckLogin(QStringLiteral(" Li"), QStringLiteral("Wang")), QStringLiteral(" 您输入的用户不存在"));
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("x")), QStringLiteral(" 您输入的密码错误"));
        // Li's password is Wang, another member's name: each is still found by its own name.
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("Wang")), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("pw")), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("Wang")), QStringLiteral(" 您输入的密码错误"));
        QCOMPARE(CheckLogin(QStringLiteral("Zhao"), QString()), QString());
        QCOMPARE(PasswordOf(QStringLiteral("Wang")), QStringLiteral("pw"));
    }

    void addingMembers()
    {
        TestInstallation install;
        QCOMPARE(AddMember(QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("b")),
                 QStringLiteral("确认密码错误\n 请再次输入"));
        QCOMPARE(AddMember(QString(), QStringLiteral("a"), QStringLiteral("a")), QStringLiteral("请输入成员"));
        QCOMPARE(AddMember(QStringLiteral("  Li  "), QStringLiteral("a"), QStringLiteral("a")), QString());
        QCOMPARE(g_memberList, QStringList({"Li", "a"}));
        QCOMPARE(AddMember(QStringLiteral("Li"), QString(), QString()), QStringLiteral("该成员已存在\n  请再次输入"));
        g_memberList.clear();
        LoadMemberFile();
        QCOMPARE(g_memberList, QStringList({"Li", "a"}));
    }

    void nameWithoutGbkFormIsRefused()
    {
        TestInstallation install;
        MessageRecorder messages;
        QVERIFY(!AddMember(QStringLiteral("小明😀"), QString(), QString()).isEmpty());
        QVERIFY(g_memberList.isEmpty());
        QVERIFY(messages.messages.isEmpty());
    }

    void deletingMembers()
    {
        TestInstallation install;
        g_memberList = {QStringLiteral("Li"), QStringLiteral("Wang"), QStringLiteral("Wang"), QStringLiteral("pw")};
        QCOMPARE(DeleteMember(QStringLiteral("Wang"), QStringLiteral("Wang")), QStringLiteral("密码错误"));
        QCOMPARE(DeleteMember(QStringLiteral("Wang"), QStringLiteral("pw")), QString());
        QCOMPARE(g_memberList, QStringList({"Li", "Wang"}));
        QCOMPARE(DeleteMember(QStringLiteral("Li"), QStringLiteral("Wang")), QString());  // the last one goes too
        QVERIFY(g_memberList.isEmpty());
        QFile file(install.DataFile("Member.kwl"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray());
    }

    void renamingAndPasswords()
    {
        TestInstallation install;
        g_memberList = {QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("Wang"), QStringLiteral("b")};
        QCOMPARE(ChangeMember(QStringLiteral("Zhao"), QString(), QStringLiteral("x"), QString(), QString()),
                 QStringLiteral("您输入的原用户不存在"));
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("x"), QStringLiteral("Li"), QString(), QString()),
                 QStringLiteral("您输入的原密码错误"));
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("Li"), QStringLiteral("1"),
                              QStringLiteral("2")), QStringLiteral("确认密码错误"));
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("  "), QString(), QString()),
                 QStringLiteral("请输入新家庭成员名"));
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("Wang"), QString(), QString()),
                 QStringLiteral("输入的新家庭成员名已存在"));
        // Only the password changes: the same name is no clash with itself.
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("Li"), QStringLiteral("new"),
                              QStringLiteral("new")), QString());
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("new"), QStringLiteral(" Lee "), QStringLiteral("new"),
                              QStringLiteral("new")), QString());
        QCOMPARE(g_memberList, QStringList({"Lee", "new", "Wang", "b"}));
        g_memberList.clear();
        LoadMemberFile();
        QCOMPARE(g_memberList, QStringList({"Lee", "new", "Wang", "b"}));
    }

    void reservedCharacterGoesOneAtATime()
    {
        QString text = QStringLiteral("a#b#c");
        QVERIFY(RemoveFirstReservedChar(&text));
        QCOMPARE(text, QStringLiteral("ab#c"));
        QVERIFY(RemoveFirstReservedChar(&text));
        QVERIFY(!RemoveFirstReservedChar(&text));
        QCOMPARE(text, QStringLiteral("abc"));
    }
};

QTEST_GUILESS_MAIN(TestMembers)
#include "tst_members.moc"
