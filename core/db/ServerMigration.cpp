// The ledger file copied into a server ledger.
#include "ServerMigration.h"

#include "db/DbError.h"
#include "db/Installer.h"
#include "db/KeptFigures.h"
#include "db/LaterTables.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"
#include "db/SqliteConnection.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Rows written to the server per statement: few round trips, well under its limit of parameters.
constexpr int kRowsPerInsert = 200;

qint64 Count(SqlConnection &db, const QString &table)
{
    SqlStatement count = db.Prepare(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    count.Step();
    return count.Int(0);
}

// Copies the table's records with their IDs, a batch of rows per statement.
void CopyTable(SqlConnection &file, SqlConnection &server, const QString &table, qint64 *done, qint64 total,
               const std::function<void(qint64, qint64)> &progress)
{
    SqlStatement read = file.Prepare(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    QStringList columns;
    std::vector<SqlValue> batch;
    int rows = 0;
    const auto flush = [&] {
        if (rows == 0)
            return;
        const QString one = QLatin1Char('(') + QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
        QStringList quoted;
        for (const QString &column : std::as_const(columns))
            quoted.append(QLatin1Char('"') + column + QLatin1Char('"'));
        SqlStatement write = server.Prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES %3")
                                                .arg(table, quoted.join(QLatin1Char(',')), QStringList(rows, one).join(QLatin1Char(','))));
        write.BindAll(batch);
        write.Run();
        *done += rows;
        if (progress)
            progress(*done, total);
        batch.clear();
        rows = 0;
    };
    while (read.Step()) {
        if (columns.isEmpty()) {
            for (int column = 0; column < read.ColumnCount(); ++column)
                columns.append(read.ColumnName(column));
        }
        for (int column = 0; column < columns.size(); ++column)
            batch.push_back(read.Value(column));
        if (++rows == kRowsPerInsert)
            flush();
    }
    flush();
}

// The list files' contents, bytes as they are (GBK): a table of its own form.
void CopyListFilesTable(SqlConnection &from, SqlConnection &to, qint64 *done)
{
    SqlStatement read = from.Prepare(QStringLiteral("SELECT \"Name\", \"Content\" FROM \"ListFiles\""));
    while (read.Step()) {
        SqlStatement write = to.Prepare(QStringLiteral("INSERT INTO \"ListFiles\" (\"Name\", \"Content\") VALUES (?, ?)"));
        write.Bind(1, read.Text(0));
        const QByteArray content = read.Blob(1);
        write.BindBlob(2, content);
        write.Run();
        ++*done;
    }
}

// The statements that lay a table beside the nine.
QStringList StatementsOf(const QString &table)
{
    return table == ListFilesTable() ? ListFilesStatements() : LaterTableStatements(table);
}

void CopyAnyTable(SqlConnection &from, SqlConnection &to, const QString &table, qint64 *done, qint64 total,
                  const std::function<void(qint64, qint64)> &progress)
{
    // The lists are not records: the counts told stay those of the ledger's records.
    qint64 lists = 0;
    if (table == ListFilesTable())
        CopyListFilesTable(from, to, &lists);
    else
        CopyTable(from, to, table, done, total, progress);
}

bool HasServerNumberedId(const QString &table)
{
    return table != QLatin1String("RecurringDone") && table != QLatin1String("Budget") && table != ListFilesTable();
}

// The tables a ledger holds, in the order they are copied: the nine, then those the books laid and
// the shared list files. The change journal and the recycle bin stay with the file: their changes are
// in the file's own form.
QStringList TablesOf(SqlConnection &db)
{
    QStringList tables = LedgerTableNames();
    for (const QString &table : LaterTableNames() + QStringList{ListFilesTable()}) {
        if (db.HasTable(table))
            tables.append(table);
    }
    return tables;
}

// The copy holds what the ledger holds: every table's count, the kept totals, the month figures.
void CheckCopy(SqlConnection &from, SqlConnection &to, const QStringList &tables, const QString &afterwards)
{
    const auto check = [&afterwards](bool same, const QString &what) {
        if (!same)
            throw DbError(QStringLiteral("复制后核对不符：%1。%2").arg(what, afterwards));
    };
    for (const QString &table : tables)
        check(Count(to, table) == Count(from, table), QStringLiteral("表 %1 的记录数").arg(table));
    check(QueryRowTexts(to, QStringLiteral("SELECT \"Name\", \"Value\" FROM \"Totals\" ORDER BY 1")) ==
              QueryRowTexts(from, QStringLiteral("SELECT \"Name\", \"Value\" FROM \"Totals\" ORDER BY 1")),
          QStringLiteral("各项总额"));
    check(QueryRowTexts(to, QStringLiteral("SELECT \"Month\", \"Item\", \"Sign\", \"N\", \"Cents\" FROM \"MoneyMonthItems\" ORDER BY 1, 2, 3")) ==
              QueryRowTexts(from, QStringLiteral("SELECT \"Month\", \"Item\", \"Sign\", \"N\", \"Cents\" FROM \"MoneyMonthItems\" ORDER BY 1, 2, 3")),
          QStringLiteral("每月收支"));
}

} // namespace

MigrationReport ExportServerLedger(PgConnection &server, const QString &schemaPath, const QString &path,
                                   const std::function<void(qint64, qint64)> &progress)
{
    // Made whole beside the target, checked, and only then put in its place.
    const QString aside = path + QStringLiteral(".export");
    QFile::remove(aside);
    QString error;
    if (!CreateLedgerDatabase(schemaPath, aside, &error))
        throw DbError(QStringLiteral("无法建立本机帐本文件 %1。").arg(QDir::toNativeSeparators(path)), error);
    const auto dropAside = qScopeGuard([&aside] {
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
            QFile::remove(aside + suffix);
    });
    MigrationReport report;
    {
        const QStringList tables = TablesOf(server);
        qint64 total = 0;
        for (const QString &table : tables)
            total += Count(server, table);
        std::unique_ptr<SqliteConnection> file = SqliteConnection::OpenAside(aside);
        SqlTransaction readAtOnce(server);  // one moment of the server ledger, whoever writes meanwhile
        server.Execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
        SqlTransaction transaction(*file);
        for (const QString &table : tables) {
            file->LayTableIfMissing(table, StatementsOf(table));
            CopyAnyTable(server, *file, table, &report.records, total, progress);
        }
        EnsureKeptFigures(*file);
        CheckCopy(server, *file, tables, QStringLiteral("没有写出本机帐本文件。"));
        transaction.Commit();
        readAtOnce.Commit();
        report.tables = tables;
    }
    // Put in place whole: an existing file of the name is replaced in one step, never half-written.
    if (std::rename(QFile::encodeName(aside).constData(), QFile::encodeName(path).constData()) != 0)
        throw DbError(QStringLiteral("无法写出本机帐本文件 %1。").arg(QDir::toNativeSeparators(path)),
                      QString::fromLocal8Bit(std::strerror(errno)));
    return report;
}

MigrationReport MigrateToServer(SqliteConnection &file, PgConnection &server, const QString &schemaPath,
                                const std::function<void(qint64, qint64)> &progress, const QString &listFolder)
{
    EnsureKeptFigures(file);  // the file's own figures are what the server's are checked against
    const QStringList tables = TablesOf(file);
    qint64 total = 0;
    for (const QString &table : tables)
        total += Count(file, table);

    MigrationReport report;
    SqlTransaction transaction(server);
    LayServerLedger(server, schemaPath);
    for (const QString &table : tables) {
        server.LayTableIfMissing(table, StatementsOf(table));
        CopyAnyTable(file, server, table, &report.records, total, progress);
        if (HasServerNumberedId(table))
            server.NumberOnFrom(table, file.LargestIdGiven(table));
    }
    // A file exported from a server ledger brings its lists; a household's own file has them beside it.
    if (!tables.contains(ListFilesTable()) && !listFolder.isEmpty())
        CopyListFiles(listFolder, server);
    EnsureKeptFigures(server);
    CheckCopy(file, server, tables, QStringLiteral("服务器上没有留下任何记录，本机帐本没有改动。"));
    transaction.Commit();
    report.tables = tables;
    return report;
}
