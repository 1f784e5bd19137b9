// Member changes over the member list.
#include "MemberRules.h"

#include "common/Gbk.h"
#include "lists/ReferenceLists.h"

namespace {

// A name or password the member file cannot hold faithfully is refused before anything changes.
QString CheckStorable(const QString &name, const QString &password)
{
    if (!IsGbkEncodable(name) || !IsGbkEncodable(password))
        return QStringLiteral("家庭成员名或密码中有无法保存的字符\n   请再次输入");
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
    if (name.isEmpty())
        return QStringLiteral("请输入成员");
    if (FindMember(name) >= 0)
        return QStringLiteral("该成员已存在\n  请再次输入");
    const QString refused = CheckStorable(name, password);
    if (!refused.isEmpty())
        return refused;
    g_memberList << name.trimmed() << password;
    SaveMemberFile();
    return QString();
}

QString DeleteMember(const QString &name, const QString &password)
{
    const int member = FindMember(name);
    if (member < 0)
        return QString();
    if (g_memberList.value(member + 1) != password)
        return QStringLiteral("密码错误");
    g_memberList.remove(member, 2);
    SaveMemberFile();
    return QString();
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
    g_memberList[member] = trimmed;
    g_memberList[member + 1] = newPassword;
    SaveMemberFile();
    return QString();
}

QString PasswordOf(const QString &name)
{
    const int member = FindMember(name);
    return member < 0 ? QString() : g_memberList.value(member + 1);
}
