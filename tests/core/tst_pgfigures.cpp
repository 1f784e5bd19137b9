// The kept figures of a ledger on a real PostgreSQL server, kept by the same triggers as in the ledger
// file (as PL/pgSQL): after many writes of every kind, and after the server was killed in the middle
// of them, the totals, the month figures, the list's blocks and the change mark equal what the records
// say afresh.
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/MoneyBlocks.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"

#include "PgTestServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>
#include <QThread>
#include <atomic>
#include <csignal>
#include <thread>

namespace {

const QString kSchema = QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql");

qint64 Number(SqlConnection &db, const QString &sql)
{
    SqlStatement read = db.Prepare(sql);
    return read.Step() ? read.Int(0) : -1;
}

// Writes of every kind to the income/expense records and the other tables, as the books make them.
void WriteMany(SqlConnection &db, QRandomGenerator &random, int count)
{
    const QStringList items{QStringLiteral("支出    餐饮"), QStringLiteral("收入    工资"), QStringLiteral("支出    交通"), QString()};
    const QStringList members{QStringLiteral("妈妈"), QStringLiteral("爸爸"), QString()};
    const auto day = [&random] {
        return QStringLiteral("20%1-%2-%3 08:00:00")
            .arg(24 + random.bounded(3))
            .arg(1 + random.bounded(12), 2, 10, QLatin1Char('0'))
            .arg(1 + random.bounded(28), 2, 10, QLatin1Char('0'));
    };
    for (int i = 0; i < count; ++i) {
        SqlTransaction transaction(db);
        const int kind = random.bounded(10);
        if (kind < 5) {
            SqlStatement insert = db.Prepare(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Item\", \"Money\", \"Member\") VALUES (?, ?, ?, ?)"));
            insert.BindAll({day(), items.at(random.bounded(items.size())), double(random.bounded(-50000, 50000)) / 100.0,
                            members.at(random.bounded(members.size()))});
            insert.Run();
        } else if (kind < 7) {
            SqlStatement update = db.Prepare(QStringLiteral("UPDATE \"Money\" SET \"Date\" = ?, \"Item\" = ?, \"Money\" = ? WHERE \"ID\" = "
                                                            "(SELECT \"ID\" FROM \"Money\" ORDER BY \"ID\" LIMIT 1 OFFSET ?)"));
            update.BindAll({day(), items.at(random.bounded(items.size())), double(random.bounded(-9000, 9000)) / 100.0,
                            qint64(random.bounded(5))});
            update.Run();
        } else if (kind < 8) {
            SqlStatement remove = db.Prepare(QStringLiteral("DELETE FROM \"Money\" WHERE \"ID\" = (SELECT \"ID\" FROM \"Money\" ORDER BY \"Money\" LIMIT 1)"));
            remove.Run();
        } else if (kind < 9) {
            SqlStatement deposit = db.Prepare(QStringLiteral("INSERT INTO \"Deposit\" (\"MKind\", \"BMoney\", \"EMoney\") VALUES (?, ?, ?)"));
            deposit.BindAll({random.bounded(2) ? QStringLiteral("人民币") : QStringLiteral("美元"), 1000.25, 1030.5});
            deposit.Run();
        } else {
            SqlStatement premium = db.Prepare(QStringLiteral("INSERT INTO \"InsureRecord\" (\"Money\") VALUES (?)"));
            premium.Bind(1, random.bounded(2) ? -120.1 : 50.0);
            premium.Run();
        }
        if (random.bounded(6) == 0)
            SplitCrowdedBlocks(db);  // as a book's write does before its commit
        transaction.Commit();
    }
}

void CheckFigures(SqlConnection &db)
{
    const struct
    {
        const char *table, *column, *condition, *fresh;
    } figures[] = {
        {"Money", "count", "", "SELECT count(*) FROM \"Money\""},
        {"Money", "Money", "", "SELECT COALESCE(sum(CAST(round(\"Money\" * 100) AS INTEGER)), 0) FROM \"Money\""},
        {"Deposit", "BMoney", "MKind='人民币'", "SELECT COALESCE(sum(CAST(round(\"BMoney\" * 100) AS INTEGER)), 0) FROM \"Deposit\" WHERE \"MKind\" = '人民币'"},
        {"InsureRecord", "Money", "Money<0", "SELECT COALESCE(sum(CAST(round(\"Money\" * 100) AS INTEGER)), 0) FROM \"InsureRecord\" WHERE \"Money\" < 0"},
        {"InsureRecord", "count", "", "SELECT count(*) FROM \"InsureRecord\""},
    };
    for (const auto &figure : figures) {
        const std::optional<qint64> kept = KeptFigure(db, QString::fromLatin1(figure.table), QString::fromLatin1(figure.column),
                                                      QString::fromUtf8(figure.condition));
        QVERIFY2(kept.has_value(), figure.table);
        QCOMPARE(*kept, Number(db, QString::fromUtf8(figure.fresh)));
    }
    const QString month = QStringLiteral("(CASE WHEN typeof(\"Date\")='text' THEN substr(\"Date\",1,7) ELSE '' END)");
    QCOMPARE(QueryRowTexts(db, QStringLiteral("SELECT \"Month\", \"Item\", \"Sign\", \"N\", \"Cents\" FROM \"MoneyMonthItems\" ORDER BY 1, 2, 3")),
             QueryRowTexts(db, QStringLiteral("SELECT %1, \"Item\", CASE WHEN \"Money\" < 0 THEN -1 ELSE 1 END, count(*), "
                                     "sum(CAST(round(\"Money\" * 100) AS INTEGER)) FROM \"Money\" GROUP BY 1, 2, 3 ORDER BY 1, 2, 3")
                          .arg(month)));
    QCOMPARE(QueryRowTexts(db, QStringLiteral("SELECT \"Month\", \"N\" FROM \"MoneyMonths\" ORDER BY 1")),
             QueryRowTexts(db, QStringLiteral("SELECT %1, count(*) FROM \"Money\" GROUP BY 1 ORDER BY 1").arg(month)));
    // Each block counts the records from its start to the next block's, per item and member too.
    const QString fresh = QStringLiteral(
        "SELECT b.\"Start\", b.\"StartId\", (SELECT count(*) FROM \"Money\" m WHERE (m.\"Date\", m.\"ID\") >= (b.\"Start\", b.\"StartId\") "
        "AND (m.\"Date\", m.\"ID\") < (COALESCE(b.\"NextStart\", chr(1114111)), COALESCE(b.\"NextId\", 0))) FROM "
        "(SELECT \"Start\", \"StartId\", lead(\"Start\") OVER w AS \"NextStart\", lead(\"StartId\") OVER w AS \"NextId\" "
        "FROM \"MoneyBlocks\" WINDOW w AS (ORDER BY \"Start\", \"StartId\")) b ORDER BY 1, 2");
    QCOMPARE(QueryRowTexts(db, QStringLiteral("SELECT \"Start\", \"StartId\", \"N\" FROM \"MoneyBlocks\" ORDER BY 1, 2")), QueryRowTexts(db, fresh));
    QCOMPARE(QueryRowTexts(db, QStringLiteral("SELECT \"Start\", \"StartId\", sum(\"N\") FROM \"MoneyBlockParts\" GROUP BY 1, 2 HAVING sum(\"N\") > 0 ORDER BY 1, 2")),
             QueryRowTexts(db, QStringLiteral("SELECT \"Start\", \"StartId\", \"N\" FROM \"MoneyBlocks\" WHERE \"N\" > 0 ORDER BY 1, 2")));
}

} // namespace

class TestPgFigures : public QObject
{
    Q_OBJECT
private slots:
    void keptFiguresEqualTheRecordsAfterManyWrites()
    {
        TestDatabase database;
        const auto db = PgConnection::Open(database.Settings());
        LayServerLedger(*db, kSchema);
        QRandomGenerator random(29);
        WriteMany(*db, random, 60);  // records before the figures are laid: they are counted in
        EnsureKeptFigures(*db);
        QVERIFY(KeptFiguresCurrent(*db));
        LayMoneyBlocks(*db, 8);  // small blocks: many splits
        CheckFigures(*db);
        const std::optional<qint64> mark = LedgerChangeMark(*db);
        QVERIFY(mark.has_value());
        WriteMany(*db, random, 400);
        CheckFigures(*db);
        QVERIFY(LedgerChangeMark(*db) != mark);
        // A write rolled back leaves every figure as it was.
        const QStringList totals = QueryRowTexts(*db, QStringLiteral("SELECT * FROM \"Totals\" ORDER BY 1"));
        {
            SqlTransaction dropped(*db);
            WriteMany(*db, random, 20);
        }
        QCOMPARE(QueryRowTexts(*db, QStringLiteral("SELECT * FROM \"Totals\" ORDER BY 1")), totals);
        CheckFigures(*db);
    }

    // The server killed (SIGKILL) while a copy writes, then started again: it recovers, and every kept
    // figure still equals the records, however far the last write had come.
    void aServerKilledDuringWritesKeepsItsFiguresTrue()
    {
        const QString script = QStringLiteral(ZARVEL_TEMPLATE_DIR "/../../tools/pg-test-server.sh");
        const QString folder = QStringLiteral("/tmp/zarvel-pg-crash-%1").arg(QCoreApplication::applicationPid());
        const QString port = QStringLiteral("54331");
        const auto server = [&](const QString &action) { return QProcess::execute(QStringLiteral("bash"), {script, action, folder, port}); };
        QCOMPARE(server(QStringLiteral("start")), 0);
        const auto stop = qScopeGuard([&] { server(QStringLiteral("stop")); });
        PgSettings settings = TestServer();
        settings.host = folder;
        settings.port = port.toInt();
        PgConnection::Open(settings)->Execute(QStringLiteral("CREATE DATABASE crash"));
        settings.database = QStringLiteral("crash");
        {
            const auto db = PgConnection::Open(settings);
            LayServerLedger(*db, kSchema);
            EnsureKeptFigures(*db);
            LayMoneyBlocks(*db, 8);
        }
        std::atomic<int> written{0};
        std::thread writer([&] {
            try {
                const auto db = PgConnection::Open(settings);
                QRandomGenerator random(7);
                for (;;) {
                    WriteMany(*db, random, 1);
                    ++written;
                }
            } catch (...) {  // the server gone: the copy's writes end here
            }
        });
        while (written < 150)
            QThread::msleep(2);
        QFile pidFile(folder + QStringLiteral("/data/postmaster.pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const pid_t postmaster = pid_t(pidFile.readLine().trimmed().toLongLong());
        QVERIFY(postmaster > 0 && ::kill(postmaster, SIGKILL) == 0);
        writer.join();
        QCOMPARE(server(QStringLiteral("restart")), 0);
        const auto db = PgConnection::Open(settings);
        QVERIFY(Number(*db, QStringLiteral("SELECT count(*) FROM \"Money\"")) > 0);
        CheckFigures(*db);
    }
};

QTEST_GUILESS_MAIN(TestPgFigures)
#include "tst_pgfigures.moc"
