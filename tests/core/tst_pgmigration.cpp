// A ledger file of 50,000 records moved to a real PostgreSQL server: every table compared row by row,
// the books reading the same afterwards, and a server database that is not empty left as it was.
#include "budget/CBudgetBook.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"
#include "db/ServerMigration.h"
#include "db/SqliteConnection.h"
#include "recurring/CRecurringBook.h"

#include "FileBytes.h"
#include "PgTestServer.h"
#include "TestInstallation.h"

#include <QTest>
#include <cmath>

namespace {

const QString kSchema = QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql");

// A table's rows in ID order (or key order), values compared as values: a double as its shortest
// exact text, whatever text each database would give it.
QStringList Rows(SqlConnection &db, const QString &table, const QString &order)
{
    QStringList rows;
    SqlStatement read = db.Prepare(QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2").arg(table, order));
    while (read.Step()) {
        QStringList cells;
        for (int column = 0; column < read.ColumnCount(); ++column) {
            const SqlValue value = read.Value(column);
            if (std::holds_alternative<double>(value))
                cells.append(QString::number(std::get<double>(value), 'g', 17));
            else if (std::holds_alternative<qint64>(value))
                cells.append(QString::number(std::get<qint64>(value)));
            else if (std::holds_alternative<QString>(value))
                cells.append(std::get<QString>(value));
            else
                cells.append(QStringLiteral("<null>"));
        }
        rows.append(cells.join(QLatin1Char('|')));
    }
    return rows;
}

// The household's file: 50,000 income and expense records and some of everything else.
void Fill(SqlConnection &db)
{
    SqlTransaction transaction(db);
    SqlStatement money = db.Prepare(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Item\", \"Money\", \"Member\", \"Explain\") VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < 50000; ++i) {
        money.Reset();
        money.BindAll({QStringLiteral("20%1-%2-%3 %4:00:00").arg(10 + i % 17).arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(i % 24, 2, 10, QLatin1Char('0')),
                       i % 5 == 0 ? QStringLiteral("收入    工资") : QStringLiteral("支出    餐饮"), (i % 5 == 0 ? 1 : -1) * (i % 997 + 0.01 * (i % 100)),
                       i % 3 ? QStringLiteral("妈妈") : QString(), i % 11 ? QString() : QStringLiteral("说明 '%1' \"x\"").arg(i)});
        money.Run();
    }
    db.Execute(QStringLiteral("DELETE FROM \"Money\" WHERE \"ID\" % 97 = 0"));  // gaps in the IDs, as a household's deletions leave
    db.Execute(QStringLiteral("DELETE FROM \"Money\" WHERE \"ID\" = 50000"));  // the last one too: its ID is not given again
    db.Execute(QStringLiteral("INSERT INTO \"Deposit\" (\"BDate\", \"Account\", \"MKind\", \"BMoney\", \"EMoney\") VALUES ('2024-01-01 00:00:00', '6222 0001', '人民币', 10000, 10350.5)"));
    db.Execute(QStringLiteral("INSERT INTO \"Current\" (\"Account\", \"MKind\", \"Money\") VALUES ('6222 0002', '美元', 88.8)"));
    db.Execute(QStringLiteral("INSERT INTO \"Article\" (\"Name\", \"Number\", \"Cost\", \"Value\") VALUES ('电视', 2, 3999, 1500)"));
    db.Execute(QStringLiteral("INSERT INTO \"InsureNote\" (\"Name\", \"PayMoney\") VALUES ('寿险', 1200)"));
    db.Execute(QStringLiteral("INSERT INTO \"InsureRecord\" (\"InsureName\", \"Money\") VALUES ('寿险', -1200)"));
    db.Execute(QStringLiteral("INSERT INTO \"Credit\" (\"People\", \"Money\") VALUES ('老王', 500)"));
    db.Execute(QStringLiteral("INSERT INTO \"Memo\" (\"Matter\") VALUES ('交水费')"));
    db.Execute(QStringLiteral("INSERT INTO \"Address\" (\"Name\", \"Mobile\") VALUES ('张三', '13800000000')"));
    transaction.Commit();
}

} // namespace

class TestPgMigration : public QObject
{
    Q_OBJECT
private slots:
    void aLedgerOfFiftyThousandRecordsMovesWhole()
    {
        TestInstallation install;
        const std::shared_ptr<SqlConnection> file = OpenLedgerDatabase();
        Fill(*file);
        CBudgetBook budgets(file);
        QCOMPARE(budgets.SetBudget(QStringLiteral("支出    餐饮"), QString(), 2000), QString());
        CRecurringBook recurring(file);  // lays its tables
        file->Execute(QStringLiteral("INSERT INTO \"Recurring\" (\"Item\", \"Money\", \"Unit\", \"Every\", \"First\") VALUES ('支出    房租', -3000, 2, 1, '2026-01-05')"));
        file->Execute(QStringLiteral("INSERT INTO \"RecurringDone\" VALUES (1, '2026-01-05', 1)"));

        TestDatabase database;
        const auto server = PgConnection::Open(database.Settings());
        qint64 lastDone = 0, told = 0;
        const MigrationReport report = MigrateToServer(static_cast<SqliteConnection &>(*file), *server, kSchema,
                                                       [&](qint64 done, qint64 total) {
                                                           QVERIFY(done > lastDone && done <= total);
                                                           lastDone = done;
                                                           ++told;
                                                       });
        QCOMPARE(report.tables.size(), 12);
        QVERIFY(told > 100);
        const struct
        {
            const char *table, *order;
        } tables[] = {{"Money", "\"ID\""},     {"Deposit", "\"ID\""},  {"Current", "\"ID\""},       {"Article", "\"ID\""},
                      {"InsureNote", "\"ID\""}, {"InsureRecord", "\"ID\""}, {"Credit", "\"ID\""},    {"Memo", "\"ID\""},
                      {"Address", "\"ID\""},    {"Recurring", "\"ID\""},    {"RecurringDone", "1, 2"}, {"Budget", "1, 2"}};
        qint64 records = 0;
        for (const auto &table : tables) {
            const QStringList onFile = Rows(*file, QString::fromLatin1(table.table), QString::fromLatin1(table.order));
            QCOMPARE(Rows(*server, QString::fromLatin1(table.table), QString::fromLatin1(table.order)), onFile);
            records += onFile.size();
        }
        QCOMPARE(report.records, records);
        QVERIFY(records > 49000);
        // Written out again as a ledger file: whole, equal to the server table by table, and a ledger the
        // program opens (its figures laid and right).
        const QString exported = install.DataFile("Exported.db");
        WriteBytes(exported, "an older export");
        const MigrationReport back = ExportServerLedger(*server, kSchema, exported);
        QCOMPARE(back.records, records);
        QCOMPARE(SqliteConnection::CheckWholeLedger(exported), QString());
        {
            const std::unique_ptr<SqliteConnection> copy = SqliteConnection::OpenAside(exported);
            for (const auto &table : tables)
                QCOMPARE(Rows(*copy, QString::fromLatin1(table.table), QString::fromLatin1(table.order)),
                         Rows(*file, QString::fromLatin1(table.table), QString::fromLatin1(table.order)));
            QVERIFY(KeptFiguresCurrent(*copy));
            QCOMPARE(KeptFigure(*copy, QStringLiteral("Money"), QStringLiteral("Money"), QString()),
                     KeptFigure(*file, QStringLiteral("Money"), QStringLiteral("Money"), QString()));
        }
        QVERIFY(!QFile::exists(exported + QStringLiteral(".export")));
        // A file that cannot be written leaves what was there.
        QVERIFY_THROWS_EXCEPTION(DbError, ExportServerLedger(*server, kSchema, install.DataFile("no/such/folder/x.db")));
        // A record added on the server after the move takes the next ID the file would have given, not
        // one of the copied ones nor the one of the last record deleted there.
        server->Execute(QStringLiteral("INSERT INTO \"Money\" (\"Item\") VALUES ('新')"));
        QCOMPARE(server->LastInsertId(), qint64(50001));
    }

    void aServerDatabaseThatIsNotEmptyIsLeftAsItWas()
    {
        TestInstallation install;
        const std::shared_ptr<SqlConnection> file = OpenLedgerDatabase();
        file->Execute(QStringLiteral("INSERT INTO \"Memo\" (\"Matter\") VALUES ('x')"));
        TestDatabase database;
        const auto server = PgConnection::Open(database.Settings());
        server->Execute(QStringLiteral("CREATE TABLE \"Other\" (\"N\" integer)"));
        QVERIFY_THROWS_EXCEPTION(DbError, MigrateToServer(static_cast<SqliteConnection &>(*file), *server, kSchema));
        QCOMPARE(ServerTables(*server), QStringList({"other"}));
        // A record the server cannot take stops the move whole: nothing of it stays.
        TestDatabase second;
        const auto empty = PgConnection::Open(second.Settings());
        file->Execute(QStringLiteral("INSERT INTO \"Memo\" (\"Date\", \"Matter\") VALUES ('2026-01-01 00:00:00', 'ok')"));
        file->Execute(QStringLiteral("INSERT INTO \"Article\" (\"Name\", \"Number\") VALUES ('坏', 'not a number')"));
        QVERIFY_THROWS_EXCEPTION(DbError, MigrateToServer(static_cast<SqliteConnection &>(*file), *empty, kSchema));
        QCOMPARE(ServerTables(*empty), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPgMigration)
#include "tst_pgmigration.moc"
