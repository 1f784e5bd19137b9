// The household members: login check, adding, deleting, renaming and changing passwords, over
// g_memberList. Passwords are kept as hashes (PasswordHash); a member file of an earlier version, with
// the passwords as typed, still logs in and has them replaced by hashes. Each change is saved to the
// member file at once, and g_memberList changes only when that save succeeded. Errors, a failed save's
// among them, are returned as the texts the dialogs show (empty: passed); nothing here shows a message
// itself.
#pragma once

#include <QString>
#include <QStringList>

// Removes the first '#' (reserved in list files); true when there was one.
bool RemoveFirstReservedChar(QString *text);

// "请输入家庭成员", " 您输入的用户不存在", " 您输入的密码错误", kUnreadablePasswordMessage, or empty when the
// login is right. A right login replaces the passwords still kept as typed by their hashes; when the
// member file cannot take them, the login stands and *notice says so (once a run).
QString CheckLogin(const QString &name, const QString &password, QString *notice = nullptr);

// Checks and, when they pass, appends the member (name trimmed, password hashed) and saves the member
// file. A name that is empty once trimmed, or that is a member's name once trimmed, is refused; so is
// '#' (kReservedCharMessage) in the name or password, and a password longer than kPasswordCharacters,
// as in ChangeMember's new name and password.
QString AddMember(const QString &name, const QString &password, const QString &confirmation);

// Removes the member when the password is right ("密码错误" otherwise) and saves the member file. A
// member whose password slot cannot be read has no password to give: it is removed without one.
QString DeleteMember(const QString &name, const QString &password);

// Renames the member and sets the password, after the checks, and saves the member file. The old
// password of a member whose slot cannot be read is not asked for: this is how another member sets it
// again.
QString ChangeMember(const QString &oldName, const QString &oldPassword, const QString &newName,
                     const QString &newPassword, const QString &confirmation);

// Whether the member's password slot is damaged or of an unknown kind (such a member cannot log in).
bool HasUnreadablePassword(const QString &name);

// At start and after a kept copy is restored: the passwords still kept as typed are replaced by their
// hashes and the member file saved; so are those in the member files of the kept copies named (an
// earlier version's copies, or copies made while the member file could not be written), each with the
// member file's own hash where it is the same password, so a copy stays equal to the ledger it kept.
// Returns what the household should be told, once a run: members whose slot cannot be read, a member
// file that cannot be written; empty when there is nothing to say.
QString SecureMemberPasswords(const QStringList &keptMemberFiles = {});

extern const QString kUnreadablePasswordMessage;

// Whether an error of CheckLogin, DeleteMember or ChangeMember is a wrong password (or, at the login,
// a wrong name): a guess, which the wait after five counts.
bool IsWrongGuess(const QString &error);
