// The ledger file copied into a server ledger.
#include "ServerMigration.h"

#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"
#include "db/SqliteConnection.h"

namespace {

// The nine tables, then what the books lay when first used. The change journal and the recycle bin
// stay with the file: their changes are in the file's own form.
const char *const kLedgerTables[] = {"Money", "Deposit", "Current", "Article", "InsureNote", "InsureRecord", "Credit", "Memo", "Address"};
const char *const kLaterTables[] = {"Recurring", "RecurringDone", "Budget"};

// Rows written to the server per statement: few round trips, well under its limit of parameters.
constexpr int kRowsPerInsert = 200;

qint64 Count(SqlConnection &db, const QString &table)
{
    SqlStatement count = db.Prepare(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    count.Step();
    return count.Int(0);
}

QStringList Rows(SqlConnection &db, const QString &sql)
{
    QStringList rows;
    SqlStatement read = db.Prepare(sql);
    while (read.Step()) {
        QStringList cells;
        for (int column = 0; column < read.ColumnCount(); ++column)
            cells.append(read.Text(column));
        rows.append(cells.join(QLatin1Char('|')));
    }
    return rows;
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

void Check(bool same, const QString &what)
{
    if (!same)
        throw DbError(QStringLiteral("迁移后核对不符：%1。服务器上没有留下任何记录，本机帐本没有改动。").arg(what));
}

} // namespace

MigrationReport MigrateToServer(SqliteConnection &file, PgConnection &server, const QString &schemaPath,
                                const std::function<void(qint64, qint64)> &progress)
{
    EnsureKeptFigures(file);  // the file's own figures are what the server's are checked against
    QStringList tables;
    for (const char *table : kLedgerTables)
        tables.append(QString::fromLatin1(table));
    for (const char *table : kLaterTables) {
        if (file.HasTable(QString::fromLatin1(table)))
            tables.append(QString::fromLatin1(table));
    }
    qint64 total = 0;
    for (const QString &table : std::as_const(tables))
        total += Count(file, table);

    MigrationReport report;
    SqlTransaction transaction(server);
    LayServerLedger(server, schemaPath);
    for (const QString &table : std::as_const(tables)) {
        if (!server.HasTable(table))
            server.Execute(file.TableSql(table));
        CopyTable(file, server, table, &report.records, total, progress);
        if (file.TableSql(table).contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive))
            server.NumberOnFrom(table);
        Check(Count(server, table) == Count(file, table), QStringLiteral("表 %1 的记录数").arg(table));
    }
    EnsureKeptFigures(server);
    Check(Rows(server, QStringLiteral("SELECT \"Name\", \"Value\" FROM \"Totals\" ORDER BY 1")) ==
              Rows(file, QStringLiteral("SELECT \"Name\", \"Value\" FROM \"Totals\" ORDER BY 1")),
          QStringLiteral("各项总额"));
    Check(Rows(server, QStringLiteral("SELECT \"Month\", \"Item\", \"Sign\", \"N\", \"Cents\" FROM \"MoneyMonthItems\" ORDER BY 1, 2, 3")) ==
              Rows(file, QStringLiteral("SELECT \"Month\", \"Item\", \"Sign\", \"N\", \"Cents\" FROM \"MoneyMonthItems\" ORDER BY 1, 2, 3")),
          QStringLiteral("每月收支"));
    transaction.Commit();
    report.tables = tables;
    return report;
}
