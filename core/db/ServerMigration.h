// A household's ledger file moved to a server ledger (迁移到服务器…), and a server ledger written out as
// a ledger file of the usual form (导出为本机帐本…): everything a ledger keeps, with its IDs, in one
// transaction that commits only when the copy holds what the ledger holds.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class PgConnection;
class SqliteConnection;

struct MigrationReport
{
    QStringList tables;   // the tables copied, in order
    qint64 records = 0;   // the records copied, of every table
};

// Copies the nine tables, and the recurring records, their due dates and the budgets when the file
// has them, into an empty server database (laid from the schema first), then lays the kept figures
// there afresh and checks them: every table's count, the kept totals and the month figures must equal
// the file's before the transaction commits. Throws DbError, with nothing left on the server, when
// the database is not empty, a record cannot be copied, or the check finds a difference. progress is
// told of the records copied so far and of all there are.
// The ten list files of listFolder (the file's data folder) go into the server's list files' table in
// the same transaction, unless the file holds that table itself (a file exported from a server).
MigrationReport MigrateToServer(SqliteConnection &file, PgConnection &server, const QString &schemaPath,
                                const std::function<void(qint64 done, qint64 total)> &progress = {},
                                const QString &listFolder = QString());

// Writes the server ledger, as it is at one moment, with the list files' table that every computer
// shares, to a new ledger file at path (replacing a file of
// that name only once the new one is whole and checked): the nine tables and what the books laid,
// with their IDs, and the kept figures laid afresh there and checked against the server's. Throws
// DbError, leaving nothing at path but what was there, when the file cannot be made or the check
// finds a difference.
MigrationReport ExportServerLedger(PgConnection &server, const QString &schemaPath, const QString &path,
                                   const std::function<void(qint64 done, qint64 total)> &progress = {});
