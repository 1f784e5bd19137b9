// Member changes over the member list.
#include "MemberRules.h"

#include "common/Gbk.h"
#include "common/Paths.h"
#include "lists/ListFile.h"
#include "lists/PasswordHash.h"
#include "lists/ReferenceLists.h"

#include <QDir>
#include <QHash>

namespace {
const QString kWrongLoginPassword = QStringLiteral(" 您输入的密码错误");
const QString kNoSuchMember = QStringLiteral(" 您输入的用户不存在");
const QString kWrongPassword = QStringLiteral("密码错误");
const QString kWrongOldPassword = QStringLiteral("您输入的原密码错误");
} // namespace

bool IsWrongGuess(const QString &error)
{
    return error == kWrongLoginPassword || error == kNoSuchMember || error == kWrongPassword || error == kWrongOldPassword;
}

const QString kUnreadablePasswordMessage =
    QStringLiteral("该成员的密码记录已损坏或无法识别，无法登录。\n请由其他家庭成员在“修改密码”中为其重新设置密码。");

namespace {

const QString kNoHashMessage = QStringLiteral("无法生成密码摘要（内存不足），没有保存");

// A name or password the member file cannot hold faithfully is refused before anything changes,
// whichever dialog or caller it comes from. The password itself is never stored, only its hash, so any
// script goes; '#' stays refused as it always was.
QString CheckStorable(const QString &name, const QString &password)
{
    if (name.contains(QLatin1Char('#')) || password.contains(QLatin1Char('#')))
        return kReservedCharMessage;
    if (!IsGbkEncodable(name))
        return QStringLiteral("家庭成员名中有无法保存的字符\n   请再次输入");
    if (PasswordLength(password) > kPasswordCharacters)
        return QStringLiteral("密码最多 %1 个字符\n   请再次输入").arg(kPasswordCharacters);
    return QString();
}

// The changed list becomes the members only once the member file holds it; otherwise the members
// stay as they were and the save's failure text is returned for the dialog to show.
QString Commit(const QStringList &members)
{
    QString failure;
    if (!WriteMemberFile(members, &failure))
        return failure;
    g_memberList = members;
    return QString();
}

QString StoredPasswordOf(int member) { return g_memberList.value(member + 1); }

// Whether some member's slot can be read: that member can log in and set the others' passwords again.
bool AnyReadableMember()
{
    for (int i = 1; i < g_memberList.size(); i += 2) {
        if (KindOfStoredPassword(g_memberList.at(i)) != StoredPassword::Unreadable)
            return true;
    }
    return false;
}

// With no member left who can log in, the way back is the file itself.
QString WithoutAnotherMember()
{
    return QStringLiteral("没有其他家庭成员可以为其重新设置密码：请用文本编辑器打开 %1，删去该成员的名字和它后面的"
                          "密码记录（连同各自后面的 #），保存后再启动程序，重新添加这个成员。")
        .arg(QDir::toNativeSeparators(DataFilePath(QStringLiteral("Member.kwl"))));
}

// Every password still kept as typed, hashed and saved. Returns the save's failure text, empty when
// the file holds hashes only (or nothing needed doing).
QString HashPlainPasswords()
{
    QStringList members = MemberPairs();
    bool changed = false;
    for (int i = 1; i < members.size(); i += 2) {
        if (KindOfStoredPassword(members.at(i)) != StoredPassword::Plain)
            continue;
        const QString hash = HashPassword(members.at(i));
        if (hash.isEmpty())
            return kNoHashMessage;
        members[i] = hash;
        changed = true;
    }
    return changed ? Commit(members) : QString();
}

// A member file that will not take the hashes is said once a run, however many logins find it so.
QString TellUnwritableOnce(const QString &failure)
{
    static bool told = false;
    if (failure.isEmpty() || told)
        return QString();
    told = true;
    return failure + QStringLiteral("。\n家庭成员的密码仍按输入的原样保存，登录不受影响；请让家庭成员文件可以写入，"
                                    "下次启动或登录时会改为加密保存。");
}

} // namespace

bool RemoveFirstReservedChar(QString *text)
{
    const int mark = text->indexOf(QLatin1Char('#'));
    if (mark < 0)
        return false;
    text->remove(mark, 1);
    return true;
}

QString CheckLogin(const QString &name, const QString &password, QString *notice)
{
    if (name.isEmpty())
        return QStringLiteral("请输入家庭成员");
    const int member = FindMember(name);
    if (member < 0)
        return kNoSuchMember;
    const QString stored = StoredPasswordOf(member);
    if (KindOfStoredPassword(stored) == StoredPassword::Unreadable) {
        return AnyReadableMember() ? kUnreadablePasswordMessage
                                   : QStringLiteral("该成员的密码记录已损坏或无法识别，无法登录。\n") + WithoutAnotherMember();
    }
    if (!PasswordMatches(stored, password))
        return kWrongLoginPassword;
    const QString told = TellUnwritableOnce(HashPlainPasswords());
    if (notice)
        *notice = told;
    return QString();
}

QString AddMember(const QString &name, const QString &password, const QString &confirmation)
{
    if (password != confirmation)
        return QStringLiteral("确认密码错误\n 请再次输入");
    // Trimmed before the look-up, as it is stored: "Li " beside "Li" would be a second, unreachable Li.
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("请输入成员");
    if (FindMember(trimmed) >= 0)
        return QStringLiteral("该成员已存在\n  请再次输入");
    const QString refused = CheckStorable(trimmed, password);
    if (!refused.isEmpty())
        return refused;
    const QString hash = HashPassword(password);
    if (hash.isEmpty())
        return kNoHashMessage;
    QStringList members = MemberPairs();
    members << trimmed << hash;
    return Commit(members);
}

QString DeleteMember(const QString &name, const QString &password)
{
    const int member = FindMember(name);
    if (member < 0)
        return QString();
    const QString stored = StoredPasswordOf(member);
    if (KindOfStoredPassword(stored) != StoredPassword::Unreadable && !PasswordMatches(stored, password))
        return kWrongPassword;
    QStringList members = MemberPairs();
    members.remove(member, 2);
    return Commit(members);
}

QString ChangeMember(const QString &oldName, const QString &oldPassword, const QString &newName,
                     const QString &newPassword, const QString &confirmation)
{
    const int member = FindMember(oldName);
    if (member < 0)
        return QStringLiteral("您输入的原用户不存在");
    const QString stored = StoredPasswordOf(member);
    if (KindOfStoredPassword(stored) != StoredPassword::Unreadable && !PasswordMatches(stored, oldPassword))
        return kWrongOldPassword;
    if (newPassword != confirmation)
        return QStringLiteral("确认密码错误");
    const QString trimmed = newName.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("请输入新家庭成员名");
    if (FindMember(trimmed) >= 0 && trimmed != oldName)
        return QStringLiteral("输入的新家庭成员名已存在");
    const QString refused = CheckStorable(trimmed, newPassword);
    if (!refused.isEmpty())
        return refused;
    const QString hash = HashPassword(newPassword);
    if (hash.isEmpty())
        return kNoHashMessage;
    QStringList members = MemberPairs();
    members[member] = trimmed;
    members[member + 1] = hash;
    return Commit(members);
}

bool HasUnreadablePassword(const QString &name)
{
    const int member = FindMember(name);
    return member >= 0 && KindOfStoredPassword(StoredPasswordOf(member)) == StoredPassword::Unreadable;
}

namespace {

// The passwords as typed in a kept copy's member file, hashed in place. A copy that cannot be read or
// written is left as it is: it is the household's old copy, and the ledger in use is not touched by it.
void HashPlainPasswordsOfCopy(const QString &path, QHash<QString, QString> *hashes)
{
    QList<QByteArray> entries;
    if (!ReadListFile(path, &entries))
        return;
    bool changed = false;
    for (int i = 1; i < entries.size(); i += 2) {
        const QString slot = DecodeGbk(entries.at(i));
        if (KindOfStoredPassword(slot) != StoredPassword::Plain)
            continue;
        const QString name = DecodeGbk(entries.at(i - 1));
        const QString key = name + QLatin1Char('#') + slot;
        QString hash = hashes->value(key);
        if (hash.isEmpty()) {
            // The member file's hash when the member has the same password there: the copy's bytes
            // stay equal to the member file's, as they were before.
            const int member = FindMember(name);
            const QString current = member < 0 ? QString() : StoredPasswordOf(member);
            hash = KindOfStoredPassword(current) == StoredPassword::Hashed && PasswordMatches(current, slot) ? current
                                                                                                          : HashPassword(slot);
            if (hash.isEmpty())
                return;
            hashes->insert(key, hash);
        }
        entries[i] = hash.toLatin1();
        changed = true;
    }
    if (changed)
        WriteListFile(path, entries);
}

} // namespace

QString SecureMemberPasswords(const QStringList &keptMemberFiles)
{
    QStringList unreadable;
    for (const QString &name : MemberNames()) {
        if (HasUnreadablePassword(name))
            unreadable.append(QStringLiteral("“%1”").arg(name));
    }
    QStringList told;
    static bool unreadableTold = false;
    if (!unreadable.isEmpty() && !unreadableTold) {
        unreadableTold = true;
        told.append(QStringLiteral("家庭成员%1的密码记录已损坏或无法识别，暂时无法登录；其他内容都没有受影响。\n%2")
                        .arg(unreadable.join(QStringLiteral("、")),
                             AnyReadableMember() ? QStringLiteral("请由其他家庭成员在“修改密码”中为其重新设置密码。")
                                                 : WithoutAnotherMember()));
    }
    const QString failure = HashPlainPasswords();
    const QString unwritable = TellUnwritableOnce(failure);
    if (!unwritable.isEmpty())
        told.append(unwritable);
    if (failure.isEmpty()) {  // the copies keep no password the member file itself still shows
        QHash<QString, QString> hashes;
        for (const QString &copy : keptMemberFiles)
            HashPlainPasswordsOfCopy(copy, &hashes);
    }
    return told.join(QStringLiteral("\n\n"));
}
