// Member changes over the member list.
#include "MemberRules.h"

#include "common/Gbk.h"
#include "lists/ReferenceLists.h"

namespace {

// A name or password the member file cannot hold faithfully is refused before anything changes,
// whichever dialog or caller it comes from.
QString CheckStorable(const QString &name, const QString &password)
{
    if (name.contains(QLatin1Char('#')) || password.contains(QLatin1Char('#')))
        return kReservedCharMessage;
    if (!IsGbkEncodable(name) || !IsGbkEncodable(password))
        return QStringLiteral("家庭成员名或密码中有无法保存的字符\n   请再次输入");
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

} // namespace

bool RemoveFirstReservedChar(QString *text)
{
    const int mark = text->indexOf(QLatin1Char('#'));
    if (mark < 0)
        return false;
    text->remove(mark, 1);
    return true;
}

QString CheckLogin(const QString &name, const QString &password)
{
    if (name.isEmpty())
        return QStringLiteral("请输入家庭成员");
    const int member = FindMember(name);
    if (member < 0)
        return QStringLiteral(" 您输入的用户不存在");
    if (g_memberList.value(member + 1) != password)
        return QStringLiteral(" 您输入的密码错误");
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
    QStringList members = MemberPairs();
    members << trimmed << password;
    return Commit(members);
}

QString DeleteMember(const QString &name, const QString &password)
{
    const int member = FindMember(name);
    if (member < 0)
        return QString();
    if (g_memberList.value(member + 1) != password)
        return QStringLiteral("密码错误");
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
    if (g_memberList.value(member + 1) != oldPassword)
        return QStringLiteral("您输入的原密码错误");
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
    QStringList members = MemberPairs();
    members[member] = trimmed;
    members[member + 1] = newPassword;
    return Commit(members);
}

QString PasswordOf(const QString &name)
{
    const int member = FindMember(name);
    return member < 0 ? QString() : g_memberList.value(member + 1);
}
