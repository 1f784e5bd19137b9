// Household members: login, adding, deleting, renaming, and what reaches the member file.
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
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

    void blanksAroundANameMakeNoSecondMember()
    {
        TestInstallation install;
        QCOMPARE(AddMember(QStringLiteral("Li"), QString(), QString()), QString());
        QCOMPARE(AddMember(QStringLiteral("Li "), QString(), QString()), QStringLiteral("该成员已存在\n  请再次输入"));
        QCOMPARE(AddMember(QStringLiteral("\tLi"), QString(), QString()), QStringLiteral("该成员已存在\n  请再次输入"));
        QCOMPARE(AddMember(QStringLiteral("   "), QString(), QString()), QStringLiteral("请输入成员"));
        QCOMPARE(g_memberList, QStringList({"Li", ""}));
    }

    void reservedCharacterIsRefusedWhateverTheCaller()
    {
        TestInstallation install;
        MessageRecorder messages;
        QCOMPARE(AddMember(QStringLiteral("a#b"), QString(), QString()), kReservedCharMessage);
        QCOMPARE(AddMember(QStringLiteral("Li"), QStringLiteral("p#"), QStringLiteral("p#")), kReservedCharMessage);
        QVERIFY(g_memberList.isEmpty());
        QCOMPARE(AddMember(QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("pw")), QString());
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("L#i"), QStringLiteral("pw"),
                              QStringLiteral("pw")), kReservedCharMessage);
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Li"), QStringLiteral("#"),
                              QStringLiteral("#")), kReservedCharMessage);
        QCOMPARE(g_memberList, QStringList({"Li", "pw"}));
        QCOMPARE(ReadBytes(install.DataFile("Member.kwl")), QByteArray("Li#pw#"));
        QVERIFY(messages.messages.isEmpty());  // the caller shows what is returned
    }

    void failedSaveLeavesTheMembersAsStored()
    {
        TestInstallation install;
        MessageRecorder messages;
        const QByteArray five("Li#a#Wang#b#Zhao#c#Sun#d#Zhou#e#");
        const QString path = install.DataFile("Member.kwl");
        WriteBytes(path, five);
        LoadMemberFile();
        const QStringList stored = g_memberList;
        {
            FileSizeLimit full(10);  // not even a shorter list fits
            QVERIFY(full.IsValid());
            QCOMPARE(AddMember(QStringLiteral("Qian"), QStringLiteral("f"), QStringLiteral("f")),
                     QStringLiteral("保存家庭成员文件失败"));
            QCOMPARE(DeleteMember(QStringLiteral("Wang"), QStringLiteral("b")), QStringLiteral("保存家庭成员文件失败"));
            QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("Lee"), QStringLiteral("x"),
                                  QStringLiteral("x")), QStringLiteral("保存家庭成员文件失败"));
        }
        QCOMPARE(g_memberList, stored);
        QCOMPARE(ReadBytes(path), five);
        QVERIFY(messages.messages.isEmpty());  // shown once, by the dialog that gets the text
        g_memberList.clear();
        LoadMemberFile();
        QCOMPARE(g_memberList, stored);
    }

    void memberFileWithALoneNameIsReadAsPairs()
    {
        TestInstallation install;
        const QString path = install.DataFile("Member.kwl");
        WriteBytes(path, "Li#pw#Wang#");
        LoadMemberFile();
        QCOMPARE(g_memberList, QStringList({"Li", "pw", "Wang", ""}));
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QString()), QString());
        QCOMPARE(AddMember(QStringLiteral("Zhao"), QStringLiteral("z"), QStringLiteral("z")), QString());
        QCOMPARE(ReadBytes(path), QByteArray("Li#pw#Wang##Zhao#z#"));
        QCOMPARE(CheckLogin(QStringLiteral("Zhao"), QStringLiteral("z")), QString());

        WriteBytes(path, "Li#pw#Wang");  // not even closed by '#'
        g_memberList.clear();
        LoadMemberFile();
        QCOMPARE(g_memberList, QStringList({"Li", "pw", "Wang", ""}));
    }

    void oddMemberListIsNeverIndexedPastItsEnd()
    {
        TestInstallation install;
        const QString path = install.DataFile("Member.kwl");
        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Wang")};
        QCOMPARE(MemberNames(), QStringList({"Li", "Wang"}));
        QCOMPARE(PasswordOf(QStringLiteral("Wang")), QString());
        QCOMPARE(ChangeMember(QStringLiteral("Wang"), QString(), QStringLiteral("Wu"), QStringLiteral("w"),
                              QStringLiteral("w")), QString());
        QCOMPARE(g_memberList, QStringList({"Li", "pw", "Wu", "w"}));

        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Wang")};
        QCOMPARE(DeleteMember(QStringLiteral("Wang"), QString()), QString());
        QCOMPARE(g_memberList, QStringList({"Li", "pw"}));
        QCOMPARE(ReadBytes(path), QByteArray("Li#pw#"));

        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Wang")};
        QCOMPARE(AddMember(QStringLiteral("Zhao"), QString(), QString()), QString());
        QCOMPARE(g_memberList, QStringList({"Li", "pw", "Wang", "", "Zhao", ""}));  // Zhao is a name, not a password
        QCOMPARE(DeleteMember(QStringLiteral("Li"), QStringLiteral("pw")), QString());
        QCOMPARE(g_memberList, QStringList({"Wang", "", "Zhao", ""}));
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
