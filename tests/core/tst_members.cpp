// Household members: login, adding, deleting, renaming, and what reaches the member file.
#include "lists/MemberRules.h"
#include "lists/PasswordHash.h"
#include "lists/ReferenceLists.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// Whether the member is stored with this password (its slot a hash or, from an earlier version, the
// password as typed).
bool Holds(const QString &name, const QString &password)
{
    const int member = FindMember(name);
    return member >= 0 && PasswordMatches(g_memberList.value(member + 1), password);
}

// The member file as bytes: each name followed by an Argon2id hash, in this order.
bool FileHoldsHashesFor(const QByteArray &bytes, const QList<QByteArray> &names)
{
    const QList<QByteArray> entries = bytes.split('#');
    if (entries.size() != 2 * names.size() + 1 || !entries.last().isEmpty())
        return false;
    for (int i = 0; i < names.size(); ++i) {
        if (entries.at(2 * i) != names.at(i) || !entries.at(2 * i + 1).startsWith("$argon2id$v=19$m=65536,t=2,p=1$"))
            return false;
    }
    return true;
}

bool AllHashed()
{
    for (int i = 1; i < g_memberList.size(); i += 2) {
        if (KindOfStoredPassword(g_memberList.at(i)) != StoredPassword::Hashed)
            return false;
    }
    return true;
}

} // namespace

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
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("Wan")), QStringLiteral(" 您输入的密码错误"));
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("Wangg")), QStringLiteral(" 您输入的密码错误"));
        // Li's password is Wang, another member's name: each is still found by its own name.
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("Wang")), QString());
        QVERIFY(AllHashed());  // the first right login put hashes in place of every password as typed
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("x")), QStringLiteral(" 您输入的密码错误"));
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("pw")), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("Wang")), QStringLiteral(" 您输入的密码错误"));
        QCOMPARE(CheckLogin(QStringLiteral("Zhao"), QString()), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Zhao"), QStringLiteral(" ")), QStringLiteral(" 您输入的密码错误"));
    }

    // A member file an earlier version wrote logs in as it is; the right login replaces every password
    // as typed by its hash and saves, names and order unchanged, and a wrong one writes nothing.
    void plainFileIsHashedAtTheFirstRightLogin()
    {
        TestInstallation install;
        const QString path = install.DataFile("Member.kwl");
        const QByteArray plain = QByteArray("Li#Wang#") + QByteArray("\xD0\xA1\xC3\xF7") /* 小明 in GBK */ + "#pw#Zhao##";
        WriteBytes(path, plain);
        LoadMemberFile();
        QCOMPARE(CheckLogin(QStringLiteral("小明"), QStringLiteral("wrong")), QStringLiteral(" 您输入的密码错误"));
        QCOMPARE(ReadBytes(path), plain);
        QString notice;
        QCOMPARE(CheckLogin(QStringLiteral("小明"), QStringLiteral("pw"), &notice), QString());
        QVERIFY(notice.isEmpty());
        const QByteArray hashed = ReadBytes(path);
        QVERIFY2(FileHoldsHashesFor(hashed, {"Li", "\xD0\xA1\xC3\xF7", "Zhao"}), hashed.constData());
        QVERIFY(!hashed.contains("#Wang#") && !hashed.contains("#pw#"));
        // Read again from the file: the same members with the same passwords, the empty one included.
        g_memberList.clear();
        LoadMemberFile();
        QVERIFY(Holds(QStringLiteral("Li"), QStringLiteral("Wang")));
        QVERIFY(Holds(QStringLiteral("小明"), QStringLiteral("pw")));
        QVERIFY(Holds(QStringLiteral("Zhao"), QString()));
        QVERIFY(!Holds(QStringLiteral("Zhao"), QStringLiteral("pw")));
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("Wang")), QString());
        QCOMPARE(ReadBytes(path), hashed);  // nothing left to hash: not written again
        // Each hash has its own salt: the same password twice is two different slots.
        QVERIFY(HashPassword(QStringLiteral("pw")) != HashPassword(QStringLiteral("pw")));
    }

    // At start every password still as typed is hashed, whether or not anyone logs in.
    void startHashesWhatAnEarlierVersionLeft()
    {
        TestInstallation install;
        MessageRecorder messages;
        const QString path = install.DataFile("Member.kwl");
        WriteBytes(path, "Li#a#Wang##");
        LoadMemberFile();
        QCOMPARE(SecureMemberPasswords(), QString());
        QVERIFY(FileHoldsHashesFor(ReadBytes(path), {"Li", "Wang"}));
        QVERIFY(Holds(QStringLiteral("Li"), QStringLiteral("a")));
        QVERIFY(Holds(QStringLiteral("Wang"), QString()));
        const QByteArray once = ReadBytes(path);
        QCOMPARE(SecureMemberPasswords(), QString());
        QCOMPARE(ReadBytes(path), once);
        QVERIFY(messages.messages.isEmpty());
    }

    // A damaged slot or a hash of another kind: that member cannot log in (told at start, once), the
    // others can, and another member sets the password again or removes the member.
    void unreadableSlotLocksOnlyItsMember()
    {
        TestInstallation install;
        const QString path = install.DataFile("Member.kwl");
        const QString good = HashPassword(QStringLiteral("pw"));
        QString cut = good;
        cut.chop(5);
        QString edited = good;
        edited[edited.indexOf(QStringLiteral("m=")) + 2] = QLatin1Char('x');
        const QString bcrypt = QStringLiteral("$2y$10$abcdefghijklmnopqrstuuQ1a8h2J4Ewg6j0kq9eC3nXo5rDHhK");
        for (const QString &slot : {cut, edited, bcrypt, QStringLiteral("$argon2id$"), QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$YWJj$YWJj")})
            QCOMPARE(KindOfStoredPassword(slot), StoredPassword::Unreadable);
        for (const QString &slot : {QString(), QStringLiteral("pw"), QStringLiteral("$1$short"), QStringLiteral("$")})
            QCOMPARE(KindOfStoredPassword(slot), StoredPassword::Plain);
        QCOMPARE(KindOfStoredPassword(good), StoredPassword::Hashed);

        WriteBytes(path, ("Li#" + good + "#Wang#" + cut + "#Zhao#" + bcrypt + "#").toLatin1());
        LoadMemberFile();
        const QByteArray before = ReadBytes(path);
        const QString told = SecureMemberPasswords();
        QVERIFY2(told.contains(QStringLiteral("“Wang”、“Zhao”")), qPrintable(told));
        QCOMPARE(SecureMemberPasswords(), QString());  // once a run
        QCOMPARE(ReadBytes(path), before);             // nothing else touched
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("pw")), kUnreadablePasswordMessage);
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("pw")), QString());
        QVERIFY(HasUnreadablePassword(QStringLiteral("Wang")));
        QVERIFY(!HasUnreadablePassword(QStringLiteral("Li")));

        // Set again without the old password, which nobody can give; then it logs in.
        QCOMPARE(ChangeMember(QStringLiteral("Wang"), QString(), QStringLiteral("Wang"), QStringLiteral("new"),
                              QStringLiteral("new")), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("new")), QString());
        QCOMPARE(DeleteMember(QStringLiteral("Zhao"), QString()), QString());
        QVERIFY(FileHoldsHashesFor(ReadBytes(path), {"Li", "Wang"}));
        QVERIFY(ReadBytes(path).startsWith(("Li#" + good + "#").toLatin1()));  // Li's slot as it was
    }

    // A member file the household made read-only: the hashes are not put in (not even by replacing the
    // file), the login stands, and the household is told once however many logins find it so. Neither
    // is a member added to it.
    void readOnlyMemberFileStillLogsIn()
    {
        TestInstallation install;
        const QString path = install.DataFile("Member.kwl");
        WriteBytes(path, "Li#pw#Wang#w#");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        LoadMemberFile();
        QString notice;
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("pw"), &notice), QString());
        QVERIFY2(notice.startsWith(QStringLiteral("保存家庭成员文件失败：家庭成员文件是只读的")), qPrintable(notice));
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("w"), &notice), QString());
        QVERIFY(notice.isEmpty());
        QCOMPARE(SecureMemberPasswords(), QString());
        QCOMPARE(AddMember(QStringLiteral("Zhao"), QString(), QString()), QStringLiteral("保存家庭成员文件失败：家庭成员文件是只读的"));
        QCOMPARE(ReadBytes(path), QByteArray("Li#pw#Wang#w#"));
        QCOMPARE(g_memberList, QStringList({"Li", "pw", "Wang", "w"}));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        // A full disk says so in its own words, and the login still stands.
        FileSizeLimit full(4);
        QVERIFY(full.IsValid());
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("pw"), &notice), QString());
        QCOMPARE(ReadBytes(path), QByteArray("Li#pw#Wang#w#"));
    }

    // The kept copies' member files lose their passwords as typed too, each with the member file's
    // own hash where the member has the same password there (the newest copy stays equal to the
    // ledger's lists), a fresh hash where not; a copy's damaged slot is left as it is.
    void keptCopiesKeepNoPasswordAsTyped()
    {
        TestInstallation install;
        const QString path = install.DataFile("Member.kwl");
        WriteBytes(path, "Li#pw#Wang##");
        QDir data(install.DataFile(""));
        QVERIFY(data.mkpath(QStringLiteral("Backup/a")) && data.mkpath(QStringLiteral("Backup/b")));
        const QString same = data.filePath(QStringLiteral("Backup/a/Member.kwl"));
        const QString older = data.filePath(QStringLiteral("Backup/b/Member.kwl"));
        WriteBytes(same, "Li#pw#Wang##");
        WriteBytes(older, "Li#old#Wang##Sun#p\x81 w#");
        LoadMemberFile();
        QCOMPARE(SecureMemberPasswords({same, older, data.filePath(QStringLiteral("Backup/none/Member.kwl"))}), QString());
        QCOMPARE(ReadBytes(same), ReadBytes(path));
        const QList<QByteArray> entries = ReadBytes(older).split('#');
        QCOMPARE(entries.size(), 7);
        QVERIFY(PasswordMatches(QString::fromLatin1(entries.at(1)), QStringLiteral("old")));
        QCOMPARE(entries.at(3), ReadBytes(path).split('#').at(3));  // Wang's empty password: the file's own hash
        QCOMPARE(entries.at(5), QByteArray("p\x81 w"));
    }

    // The only member cannot log in: nobody is there to set the password again, so the way back is
    // the file, and the household is told where it is.
    void aLoneLockedOutMemberIsToldTheWayBack()
    {
        TestInstallation install;
        QString cut = HashPassword(QStringLiteral("pw"));
        cut.chop(4);
        g_memberList = {QStringLiteral("Li"), cut};
        const QString told = CheckLogin(QStringLiteral("Li"), QStringLiteral("pw"));
        QVERIFY2(told.contains(QStringLiteral("没有其他家庭成员")) && told.contains(QStringLiteral("Member.kwl")), qPrintable(told));
        g_memberList = {QStringLiteral("Li"), cut, QStringLiteral("Wang"), HashPassword(QString())};
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("pw")), kUnreadablePasswordMessage);
    }

    void addingMembers()
    {
        TestInstallation install;
        QCOMPARE(AddMember(QStringLiteral("Li"), QStringLiteral("a"), QStringLiteral("b")),
                 QStringLiteral("确认密码错误\n 请再次输入"));
        QCOMPARE(AddMember(QString(), QStringLiteral("a"), QStringLiteral("a")), QStringLiteral("请输入成员"));
        QCOMPARE(AddMember(QStringLiteral("  Li  "), QStringLiteral("a"), QStringLiteral("a")), QString());
        QCOMPARE(MemberNames(), QStringList({"Li"}));
        QVERIFY(AllHashed());
        QCOMPARE(AddMember(QStringLiteral("Li"), QString(), QString()), QStringLiteral("该成员已存在\n  请再次输入"));
        g_memberList.clear();
        LoadMemberFile();
        QVERIFY(Holds(QStringLiteral("Li"), QStringLiteral("a")));
        QVERIFY(!Holds(QStringLiteral("Li"), QStringLiteral("A")));
    }

    // Only the hash is stored, so a password of any script goes, up to 18 characters as the household
    // counts them; the name still has to be storable in the member file.
    void passwordsOfAnyScriptUpToEighteenCharacters()
    {
        TestInstallation install;
        MessageRecorder messages;
        QVERIFY(!AddMember(QStringLiteral("小明😀"), QString(), QString()).isEmpty());
        QVERIFY(g_memberList.isEmpty());
        const QString emoji = QStringLiteral("😀😁😂🤣😃😄😅😆😉😊😋😎😍😘🥰😗😙😚");  // 18, each two UTF-16 units
        const QString mixed = QStringLiteral("Пароль密码كلمةσ한국어ü1");
        QCOMPARE(PasswordLength(emoji), 18);
        QCOMPARE(AddMember(QStringLiteral("Li"), emoji, emoji), QString());
        QCOMPARE(AddMember(QStringLiteral("Wang"), mixed, mixed), QString());
        QCOMPARE(AddMember(QStringLiteral("Zhao"), emoji + QStringLiteral("x"), emoji + QStringLiteral("x")),
                 QStringLiteral("密码最多 18 个字符\n   请再次输入"));
        QCOMPARE(CheckLogin(QStringLiteral("Li"), emoji), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Li"), emoji.chopped(2)), QStringLiteral(" 您输入的密码错误"));
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), mixed), QString());
        QCOMPARE(ChangeMember(QStringLiteral("Wang"), mixed, QStringLiteral("Wang"), emoji, emoji), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), emoji), QString());
        QVERIFY(messages.messages.isEmpty());
    }

    void deletingMembers()
    {
        TestInstallation install;
        g_memberList = {QStringLiteral("Li"), QStringLiteral("Wang"), QStringLiteral("Wang"), HashPassword(QStringLiteral("pw"))};
        QCOMPARE(DeleteMember(QStringLiteral("Wang"), QStringLiteral("Wang")), QStringLiteral("密码错误"));
        QCOMPARE(DeleteMember(QStringLiteral("Wang"), QStringLiteral("pw")), QString());
        QCOMPARE(g_memberList, QStringList({"Li", "Wang"}));
        QCOMPARE(DeleteMember(QStringLiteral("Li"), QStringLiteral("Wan")), QStringLiteral("密码错误"));
        QCOMPARE(DeleteMember(QStringLiteral("Li"), QStringLiteral("Wang")), QString());  // the last one goes too
        QVERIFY(g_memberList.isEmpty());
        QFile file(install.DataFile("Member.kwl"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray());
    }

    void renamingAndPasswords()
    {
        TestInstallation install;
        const QString wangHash = HashPassword(QStringLiteral("b"));
        g_memberList = {QStringLiteral("Li"), HashPassword(QStringLiteral("a")), QStringLiteral("Wang"), wangHash};
        QCOMPARE(ChangeMember(QStringLiteral("Zhao"), QString(), QStringLiteral("x"), QString(), QString()),
                 QStringLiteral("您输入的原用户不存在"));
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("x"), QStringLiteral("Li"), QString(), QString()),
                 QStringLiteral("您输入的原密码错误"));
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QString(), QStringLiteral("Li"), QString(), QString()),
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
        QCOMPARE(MemberNames(), QStringList({"Lee", "Wang"}));
        g_memberList.clear();
        LoadMemberFile();
        QVERIFY(Holds(QStringLiteral("Lee"), QStringLiteral("new")));
        QVERIFY(!Holds(QStringLiteral("Lee"), QStringLiteral("a")));
        QCOMPARE(g_memberList.at(3), wangHash);  // the other member's slot untouched
        // An empty password is a password too, and is stored hashed.
        QCOMPARE(ChangeMember(QStringLiteral("Lee"), QStringLiteral("new"), QStringLiteral("Lee"), QString(), QString()),
                 QString());
        QVERIFY(AllHashed());
        QCOMPARE(CheckLogin(QStringLiteral("Lee"), QString()), QString());
    }

    void blanksAroundANameMakeNoSecondMember()
    {
        TestInstallation install;
        QCOMPARE(AddMember(QStringLiteral("Li"), QString(), QString()), QString());
        QCOMPARE(AddMember(QStringLiteral("Li "), QString(), QString()), QStringLiteral("该成员已存在\n  请再次输入"));
        QCOMPARE(AddMember(QStringLiteral("\tLi"), QString(), QString()), QStringLiteral("该成员已存在\n  请再次输入"));
        QCOMPARE(AddMember(QStringLiteral("   "), QString(), QString()), QStringLiteral("请输入成员"));
        QCOMPARE(MemberNames(), QStringList({"Li"}));
        QVERIFY(Holds(QStringLiteral("Li"), QString()));
    }

    void reservedCharacterIsRefusedWhateverTheCaller()
    {
        TestInstallation install;
        MessageRecorder messages;
        QCOMPARE(AddMember(QStringLiteral("a#b"), QString(), QString()), kReservedCharMessage);
        QCOMPARE(AddMember(QStringLiteral("Li"), QStringLiteral("p#"), QStringLiteral("p#")), kReservedCharMessage);
        QVERIFY(g_memberList.isEmpty());
        QCOMPARE(AddMember(QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("pw")), QString());
        const QByteArray stored = ReadBytes(install.DataFile("Member.kwl"));
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("L#i"), QStringLiteral("pw"),
                              QStringLiteral("pw")), kReservedCharMessage);
        QCOMPARE(ChangeMember(QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Li"), QStringLiteral("#"),
                              QStringLiteral("#")), kReservedCharMessage);
        QVERIFY(FileHoldsHashesFor(stored, {"Li"}));
        QCOMPARE(ReadBytes(install.DataFile("Member.kwl")), stored);
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
        QVERIFY(FileHoldsHashesFor(ReadBytes(path), {"Li", "Wang", "Zhao"}));
        QCOMPARE(CheckLogin(QStringLiteral("Zhao"), QStringLiteral("z")), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("pw")), QString());

        WriteBytes(path, "Li#pw#Wang");  // not even closed by '#'
        g_memberList.clear();
        LoadMemberFile();
        QCOMPARE(g_memberList, QStringList({"Li", "pw", "Wang", ""}));
    }

    void oddMemberListIsNeverIndexedPastItsEnd()
    {
        TestInstallation install;
        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Wang")};
        QCOMPARE(MemberNames(), QStringList({"Li", "Wang"}));
        QCOMPARE(ChangeMember(QStringLiteral("Wang"), QString(), QStringLiteral("Wu"), QStringLiteral("w"),
                              QStringLiteral("w")), QString());
        QCOMPARE(MemberNames(), QStringList({"Li", "Wu"}));
        QVERIFY(Holds(QStringLiteral("Wu"), QStringLiteral("w")));

        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Wang")};
        QCOMPARE(DeleteMember(QStringLiteral("Wang"), QString()), QString());
        QCOMPARE(g_memberList, QStringList({"Li", "pw"}));

        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw"), QStringLiteral("Wang")};
        QCOMPARE(AddMember(QStringLiteral("Zhao"), QString(), QString()), QString());
        QCOMPARE(MemberNames(), QStringList({"Li", "Wang", "Zhao"}));  // Zhao is a name, not a password
        QCOMPARE(DeleteMember(QStringLiteral("Li"), QStringLiteral("pw")), QString());
        QCOMPARE(MemberNames(), QStringList({"Wang", "Zhao"}));
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

    // An Argon2id hash of the right shape whose limits libsodium will not run (several lanes, as
    // argon2-cffi writes by default; more memory than any computer has; a time cost that would
    // never finish) can never match: its member is locked out like one of a damaged slot, and is set
    // again by another member in the same way, not stuck behind a password nobody can give.
    void hashThatCannotBeCheckedCountsAsUnreadable()
    {
        TestInstallation install;
        const QString good = HashPassword(QStringLiteral("pw"));
        const QString limits = QStringLiteral("m=65536,t=2,p=1");
        QVERIFY(good.contains(limits));
        QString lanes = good;
        lanes.replace(limits, QStringLiteral("m=65536,t=3,p=4"));
        QString memory = good;
        memory.replace(limits, QStringLiteral("m=4294967295,t=2,p=1"));
        QString time = good;
        time.replace(limits, QStringLiteral("m=65536,t=4294967295,p=1"));
        for (const QString &slot : {lanes, memory, time})
            QVERIFY2(KindOfStoredPassword(slot) == StoredPassword::Unreadable, qPrintable(slot));

        g_memberList = {QStringLiteral("Li"), good, QStringLiteral("Wang"), lanes};
        QVERIFY(HasUnreadablePassword(QStringLiteral("Wang")));
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("pw")), kUnreadablePasswordMessage);
        QCOMPARE(ChangeMember(QStringLiteral("Wang"), QString(), QStringLiteral("Wang"), QStringLiteral("new"),
                              QStringLiteral("new")), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("new")), QString());
    }

    // A password slot of an earlier version's file holding bytes that are not GBK was read with
    // replacement characters: no password typed can match it. It is a damaged slot, not a password
    // to hash: the bytes stay in the file for mending, and another member can set the password again.
    void damagedBytesInAPlainSlotAreNotHashedAway()
    {
        TestInstallation install;
        MessageRecorder messages;
        const QString path = install.DataFile("Member.kwl");
        const QByteArray damaged("Li#pw#Wang#p\x81 w#");
        WriteBytes(path, damaged);
        LoadMemberFile();
        QVERIFY(g_memberList.value(3).contains(QChar::ReplacementCharacter));
        SecureMemberPasswords();
        QVERIFY(ReadBytes(path).contains("#p\x81 w#"));
        QVERIFY(HasUnreadablePassword(QStringLiteral("Wang")));
        QCOMPARE(CheckLogin(QStringLiteral("Li"), QStringLiteral("pw")), QString());
        QCOMPARE(ChangeMember(QStringLiteral("Wang"), QString(), QStringLiteral("Wang"), QStringLiteral("new"),
                              QStringLiteral("new")), QString());
        QCOMPARE(CheckLogin(QStringLiteral("Wang"), QStringLiteral("new")), QString());
        QVERIFY(Holds(QStringLiteral("Li"), QStringLiteral("pw")));
    }
};

QTEST_GUILESS_MAIN(TestMembers)
#include "tst_members.moc"
