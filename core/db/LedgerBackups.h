// Kept copies of the ledger: Data/Backup/<date and time>/ holds the database (copied online, as
// committed) and the list files. The newest ten are kept.
#pragma once

#include <QString>
#include <QStringList>

class SqlConnection;

constexpr int kKeptBackups = 10;

// Makes a copy now and drops the oldest beyond the newest ten (never the spare one). Its name, or an
// empty text with the reason.
QString MakeBackup(SqlConnection &db, const QString &dataDir, QString *error, const QString &spare = QString());

// The copies, newest first.
QStringList ListBackups(const QString &dataDir);

// Puts the copy back in place of the ledger and its list files, after keeping the ledger as it is as
// a copy itself. False with the reason when it could not; the database is restored whole or not at all,
// and *databaseRestored (when given) tells whether it was, a failure after it included.
bool RestoreBackup(SqlConnection &db, const QString &dataDir, const QString &name, QString *error,
                   bool *databaseRestored = nullptr);
