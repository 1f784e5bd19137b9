// The household members: login check, adding, deleting, renaming and changing passwords, over
// g_memberList. Each change is saved to the member file at once, and g_memberList changes only when
// that save succeeded. Errors, a failed save's among them, are returned as the texts the dialogs show
// (empty: passed); nothing here shows a message itself.
#pragma once

#include <QString>

// Removes the first '#' (reserved in list files); true when there was one.
bool RemoveFirstReservedChar(QString *text);

// "请输入家庭成员", " 您输入的用户不存在", " 您输入的密码错误", or empty when the login is right.
QString CheckLogin(const QString &name, const QString &password);

// Checks and, when they pass, appends the member (name trimmed) and saves the member file.
// A name that is empty once trimmed, or that is a member's name once trimmed, is refused; so is '#'
// (kReservedCharMessage) in the name or password, as in ChangeMember's new name and password.
QString AddMember(const QString &name, const QString &password, const QString &confirmation);

// Removes the member when the password is right ("密码错误" otherwise) and saves the member file.
QString DeleteMember(const QString &name, const QString &password);

// Renames the member and sets the password, after the checks, and saves the member file.
QString ChangeMember(const QString &oldName, const QString &oldPassword, const QString &newName,
                     const QString &newPassword, const QString &confirmation);

// The member's password, or an empty text when no member has the name.
QString PasswordOf(const QString &name);
