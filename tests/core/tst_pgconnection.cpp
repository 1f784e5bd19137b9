// The connection to a ledger on a PostgreSQL server, against a real private server: logging in, the
// SQL the books write, values of every kind, and transactions that nest.
#include "db/DbError.h"
#include "db/PgConnection.h"
#include "db/PgDialect.h"

#include "BothLedgers.h"

#include <QScopeGuard>
#include <QTest>
#include <sqlite3.h>

class TestPgConnection : public QObject
{
    Q_OBJECT
private slots:
    void wrongLoginsAreToldInTheHouseholdsWords()
    {
        PgSettings settings = TestServer();
        settings.password = QStringLiteral("wrong");
        const auto refusal = [](const PgSettings &tried) {
            try {
                PgConnection::Open(tried);
            } catch (const DbError &error) {
                return error.Explanation();
            }
            return QString();
        };
        QCOMPARE(refusal(settings), QStringLiteral("服务器拒绝了用户名或密码。请检查“帐本位置”中的用户和密码。"));
        settings = TestServer();
        settings.user = QStringLiteral("nobody");
        QCOMPARE(refusal(settings), QStringLiteral("服务器拒绝了用户名或密码。请检查“帐本位置”中的用户和密码。"));
        settings = TestServer(QStringLiteral("no_such_ledger"));
        QCOMPARE(refusal(settings), QStringLiteral("服务器上没有数据库 no_such_ledger。请检查数据库名。"));
        settings = TestServer();
        settings.port += 1;  // nobody listens there
        QVERIFY2(refusal(settings).startsWith(QStringLiteral("连接不上服务器")), qPrintable(refusal(settings)));
        // A wrong host: an address of this machine the server does not listen on, a socket folder that is not there.
        for (const QString &host : {QStringLiteral("127.0.0.1"), QStringLiteral("/tmp/zarvel-no-such-server")}) {
            settings = TestServer();
            settings.host = host;
            QVERIFY2(refusal(settings).startsWith(QStringLiteral("连接不上服务器 %1:").arg(host)), qPrintable(refusal(settings)));
        }
        const auto server = PgConnection::Open(TestServer());
        QVERIFY(server->ServerVersion() >= 150000);
        QVERIFY(server->IsConnected());
    }

    void theBooksSqlIsTranslated()
    {
        QCOMPARE(PgDialect(QStringLiteral("SELECT \"ID\", IFNULL(Note, '') FROM \"Money\" WHERE \"Date\" >= ? AND ID < ?")),
                 QStringLiteral("SELECT \"id\", COALESCE(Note, '') FROM \"money\" WHERE \"date\" >= $1 AND ID < $2"));
        int count = 0;
        // Inside a text nothing changes: not a question mark, not a quote, not a name.
        QCOMPARE(PgDialect(QStringLiteral("SELECT 'a?b''\"X\"', ifnull_x, x_ifnull FROM \"T\" WHERE a = ?"), &count),
                 QStringLiteral("SELECT 'a?b''\"X\"', ifnull_x, x_ifnull FROM \"t\" WHERE a = $1"));
        QCOMPARE(count, 1);
        // Numbered parameters keep their numbers, a bare one follows the largest; SQLite's plus that
        // steers its planner goes, a plus after a name that only ends in "or" stays.
        QCOMPARE(PgDialect(QStringLiteral("SELECT 1 WHERE a = ?2 AND (?1 = 1 OR b = ?2) AND c = ?"), &count),
                 QStringLiteral("SELECT 1 WHERE a = $2 AND ($1 = 1 OR b = $2) AND c = $3"));
        QCOMPARE(count, 3);
        QCOMPARE(PgDialect(QStringLiteral("SELECT Floor +(2) FROM t WHERE +(a) AND x OR +(b)")),
                 QStringLiteral("SELECT Floor +(2) FROM t WHERE (a) AND x OR (b)"));
        QCOMPARE(PgDialect(QStringLiteral("UPDATE \"LedgerMark\" SET \"Mark\" = random()")),
                 QStringLiteral("UPDATE \"ledgermark\" SET \"mark\" = (random() * 9007199254740991)::bigint"));
        // A row comparison gets the bound of its first column beside it, for the server's estimate;
        // not inside a text, nor a function's arguments.
        QCOMPARE(PgDialect(QStringLiteral("SELECT count(*) FROM \"Money\" WHERE (\"Date\", ID) >= (?, ?) AND (\"Date\", ID) < (?,?)")),
                 QStringLiteral("SELECT count(*) FROM \"money\" WHERE ((\"date\", ID) >= ($1, $2) AND \"date\" >= $1) "
                                "AND ((\"date\", ID) < ($3,$4) AND \"date\" <= $3)"));
        QCOMPARE(PgDialect(QStringLiteral("SELECT 1 FROM \"MoneyBlocks\" b WHERE (b.\"Start\", b.\"StartId\") <= (NEW.\"Date\", NEW.\"ID\") "
                                          "OR NOT ( Date , ID ) > ( '2015-06-15' , 0 )")),
                 QStringLiteral("SELECT 1 FROM \"moneyblocks\" b WHERE ((b.\"start\", b.\"startid\") <= (NEW.\"date\", NEW.\"id\") "
                                "AND b.\"start\" <= NEW.\"date\") OR NOT (( Date , ID ) > ( '2015-06-15' , 0 ) AND Date >= '2015-06-15')"));
        QCOMPARE(PgDialect(QStringLiteral("SELECT '(a, b) > (1, 2)', 1 FROM t WHERE f(a, b) >= (1, 2) -- (a, b) < (3, 4)")),
                 QStringLiteral("SELECT '(a, b) > (1, 2)', 1 FROM t WHERE f(a, b) >= (1, 2) -- (a, b) < (3, 4)"));
    }

    // Whole statements where the two languages differ: tables, triggers, IGNORE, the ledger's form.
    void statementsBecomeTheServersCommands()
    {
        QCOMPARE(PgCommands(QStringLiteral("CREATE TABLE \"B\" (\"Item\" TEXT NOT NULL, \"Cents\" INTEGER NOT NULL, \"At\" DATETIME, "
                                           "\"X\" DOUBLE, PRIMARY KEY (\"Item\")) WITHOUT ROWID")),
                 QStringList({"CREATE TABLE \"b\" (\"item\" text COLLATE ucs_basic NOT NULL, \"cents\" bigint NOT NULL, "
                              "\"at\" text COLLATE ucs_basic, \"x\" double precision, PRIMARY KEY (\"item\"))"}));
        const QStringList trigger = PgCommands(QStringLiteral(
            "CREATE TRIGGER \"Money_Totals_Insert\" AFTER UPDATE OF \"Date\", \"Money\" ON \"Money\" BEGIN\n"
            "UPDATE \"Totals\" SET \"Value\" = \"Value\" + CAST(round(NEW.\"Money\" * 100) AS INTEGER) WHERE \"Name\" = 'Money|Money|';\nEND"));
        QCOMPARE(trigger.size(), 2);
        QVERIFY2(trigger.at(0).startsWith(QLatin1String("CREATE OR REPLACE FUNCTION \"money_totals_insert_fn\"() RETURNS trigger")) &&
                     trigger.at(0).contains(QLatin1String("CAST((SELECT trunc(zarvel_x + sign(zarvel_x) * 0.5) FROM (SELECT (NEW.\"money\" * 100) "
                                                          "AS zarvel_x) AS zarvel_round) AS bigint) WHERE \"name\" = 'Money|Money|';")),
                 qPrintable(trigger.at(0)));
        QCOMPARE(trigger.at(1), QStringLiteral("CREATE TRIGGER \"money_totals_insert\" AFTER UPDATE OF \"date\", \"money\" ON \"money\" "
                                               "FOR EACH ROW EXECUTE FUNCTION \"money_totals_insert_fn\"()"));
        QCOMPARE(PgCommands(QStringLiteral("DROP TRIGGER IF EXISTS \"Money_Totals_Insert\"")),
                 QStringList({"DROP FUNCTION IF EXISTS \"money_totals_insert_fn\"() CASCADE"}));
        int count = 0;
        QCOMPARE(PgCommands(QStringLiteral("INSERT OR IGNORE INTO \"RecurringDone\" (\"Template\") VALUES (?)"), &count),
                 QStringList({"INSERT INTO \"recurringdone\" (\"template\") VALUES ($1) ON CONFLICT DO NOTHING"}));
        QCOMPARE(count, 1);
        QCOMPARE(PgCommands(QStringLiteral("PRAGMA user_version = 5")), QStringList({"UPDATE \"zarvelform\" SET \"version\" = 5"}));
    }

    void valuesOfEveryKindComeBackAsTheyWent()
    {
        TestDatabase database;
        const auto db = PgConnection::Open(database.Settings());
        db->Execute(QStringLiteral("CREATE TABLE \"Money\" (\"ID\" integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
                                   "\"Date\" text, \"Amount\" double precision, \"Cents\" bigint, \"Note\" text, \"Bytes\" bytea)"));
        QVERIFY(db->HasTable(QStringLiteral("Money")));
        QVERIFY(!db->HasTable(QStringLiteral("Deposit")));
        SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Amount\", \"Cents\", \"Note\", \"Bytes\") VALUES (?, ?, ?, ?, ?)"));
        const QByteArray bytes("\x00\x01\xff'\"\\", 6);
        insert.BindAll({QStringLiteral("2026-12-09 08:00:00"), -114.5, qint64(999999999999999), QStringLiteral("餐饮 '😀' ? \"x\"")});
        insert.BindBlob(5, bytes);
        insert.Run();
        const qint64 first = db->LastInsertId();
        QVERIFY(first > 0);
        insert.Reset();
        insert.BindAll({std::monostate(), 0.1, qint64(-1), QString()});
        insert.BindBlob(5, QByteArray());
        insert.Run();
        QCOMPARE(db->LastInsertId(), first + 1);

        SqlStatement read = db->Prepare(QStringLiteral("SELECT ID, \"Date\", Amount, Cents, Note, Bytes FROM \"Money\" ORDER BY ID"));
        QVERIFY(read.Step());
        QCOMPARE(read.Int(0), first);
        QCOMPARE(read.Text(1), QStringLiteral("2026-12-09 08:00:00"));
        QCOMPARE(read.Double(2), -114.5);
        QCOMPARE(read.Int(3), qint64(999999999999999));
        QCOMPARE(read.Text(4), QStringLiteral("餐饮 '😀' ? \"x\""));
        QCOMPARE(read.Blob(5), bytes);
        QVERIFY(std::holds_alternative<qint64>(read.Value(0)));
        QVERIFY(std::holds_alternative<double>(read.Value(2)));
        QVERIFY(read.Step());
        QVERIFY(std::holds_alternative<std::monostate>(read.Value(1)));
        QCOMPARE(read.Text(1), QString());
        QCOMPARE(read.Double(2), 0.1);
        QCOMPARE(read.Int(3), qint64(-1));
        QVERIFY(!read.Step());

        // A statement read while another one writes: the rows were read whole.
        SqlStatement all = db->Prepare(QStringLiteral("SELECT ID FROM \"Money\" ORDER BY ID"));
        int seen = 0;
        while (all.Step()) {
            SqlStatement touch = db->Prepare(QStringLiteral("UPDATE \"Money\" SET Cents = Cents + 1 WHERE ID = ?"));
            touch.Bind(1, all.Int(0));
            touch.Run();
            ++seen;
        }
        QCOMPARE(seen, 2);
    }

    // The server's texts cannot hold the character 0: a text with one is refused whole, never kept cut
    // short at it (libpq ends a text there), and a search for it finds nothing shorter.
    void aTextWithTheCharacterZeroIsRefusedNotCut()
    {
        TestDatabase database;
        const auto db = PgConnection::Open(database.Settings());
        db->Execute(QStringLiteral("CREATE TABLE \"Memo\" (\"ID\" integer PRIMARY KEY, \"Matter\" text NOT NULL)"));
        db->Execute(QStringLiteral("INSERT INTO \"Memo\" VALUES (1, 'a')"));
        const QString zero = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO \"Memo\" VALUES (2, ?)"));
        try {
            insert.Bind(1, zero);
            insert.Run();
            QFAIL("a text with the character 0 was written");
        } catch (const DbError &error) {
            QVERIFY2(error.Explanation().contains(QStringLiteral("空字符")), qPrintable(error.Message()));
        }
        SqlStatement find = db->Prepare(QStringLiteral("SELECT count(*) FROM \"Memo\" WHERE \"Matter\" = ?"));
        QVERIFY_THROWS_EXCEPTION(DbError, find.Bind(1, zero));
        QCOMPARE(QueryRowTexts(*db, QStringLiteral("SELECT \"ID\", \"Matter\" FROM \"Memo\"")), QStringList({"1|a"}));
    }

    void transactionsNestAndRollBackWhole()
    {
        TestDatabase database;
        const auto db = PgConnection::Open(database.Settings());
        db->Execute(QStringLiteral("CREATE TABLE \"Memo\" (\"ID\" integer PRIMARY KEY, \"Note\" text NOT NULL)"));
        const auto count = [&db] {
            SqlStatement rows = db->Prepare(QStringLiteral("SELECT count(*) FROM \"Memo\""));
            rows.Step();
            return rows.Int(0);
        };
        const auto add = [&db](qint64 id, const SqlValue &note) {
            SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO \"Memo\" (ID, Note) VALUES (?, ?)"));
            insert.BindAll({id, note});
            insert.Run();
        };
        {
            SqlTransaction outer(*db);
            add(1, QStringLiteral("a"));
            {
                SqlTransaction inner(*db);
                add(2, QStringLiteral("b"));
                // A failed statement inside: the savepoint takes back its part, the outer goes on.
                QVERIFY_THROWS_EXCEPTION(DbError, add(3, std::monostate()));
            }
            add(4, QStringLiteral("d"));
            outer.Commit();
        }
        QCOMPARE(count(), qint64(2));
        {
            SqlTransaction dropped(*db);
            add(5, QStringLiteral("e"));
        }
        QCOMPARE(count(), qint64(2));
        const quint64 serial = db->ChangeSerial(QStringLiteral("Memo"));
        {
            SqlTransaction failing(*db);
            add(6, QStringLiteral("f"));
            try {
                add(6, QStringLiteral("again"));
                QFAIL("a second record of the same ID was taken");
            } catch (const DbError &error) {
                QCOMPARE(error.Explanation(), QStringLiteral("服务器帐本出错，改动没有保存。"));
                QVERIFY2(error.Detail().contains(QLatin1String("duplicate key")), qPrintable(error.Detail()));
            }
        }
        QVERIFY(db->ChangeSerial(QStringLiteral("Memo")) != serial);  // the record sets read again
        QCOMPARE(count(), qint64(2));
        add(7, QStringLiteral("g"));  // the connection is usable after it all
        QCOMPARE(count(), qint64(3));
    }

    // SQLite's round() of a real goes half away from zero (x + 0.5, cut), the server's round() of a
    // double to the even neighbour: the kept totals sum CAST(round(amount * 100) AS INTEGER), and an
    // amount of an exact half cent must count alike in both. Parameters inside keep their numbers.
    void roundingGoesAsInTheLedgerFile()
    {
        QCOMPARE(PgDialect(QStringLiteral("SELECT round(?2 * (1 + ?)), round(x, 2), Round ((a)) FROM t")),
                 QStringLiteral("SELECT (SELECT trunc(zarvel_x + sign(zarvel_x) * 0.5) FROM (SELECT ($2 * (1 + $3)) AS zarvel_x) AS zarvel_round), "
                                "round(x, 2), (SELECT trunc(zarvel_x + sign(zarvel_x) * 0.5) FROM (SELECT ((a)) AS zarvel_x) AS zarvel_round) FROM t"));
        TestDatabase database;
        const auto db = PgConnection::Open(database.Settings());
        sqlite3 *file = nullptr;
        QCOMPARE(sqlite3_open(":memory:", &file), SQLITE_OK);
        const auto cleanup = qScopeGuard([file] { sqlite3_close(file); });
        sqlite3_stmt *inFile = nullptr;
        const char *sql = "SELECT round(?), CAST(round(? * 100) AS INTEGER)";
        QCOMPARE(sqlite3_prepare_v2(file, sql, -1, &inFile, nullptr), SQLITE_OK);
        SqlStatement onServer = db->Prepare(QString::fromLatin1(sql));
        for (double amount : {0.125, -0.125, 12.5, -12.5, 2.5, 0.5, -0.5, 0.0, 2.675, 1.005, 267.49999999999997, 0.49999999999999994,
                              -4503599627370495.5, 9999999999999.995, 1e15 + 0.5}) {
            sqlite3_reset(inFile);
            sqlite3_bind_double(inFile, 1, amount);
            sqlite3_bind_double(inFile, 2, amount);
            QCOMPARE(sqlite3_step(inFile), SQLITE_ROW);
            onServer.Reset();
            onServer.BindAll({amount, amount});
            QVERIFY(onServer.Step());
            QCOMPARE(onServer.Double(0), sqlite3_column_double(inFile, 0));
            QCOMPARE(onServer.Int(1), sqlite3_column_int64(inFile, 1));
        }
        sqlite3_finalize(inFile);
    }

    // What the books read of a statement is alike from both ledgers: a sum of whole numbers is a whole
    // number, a real is written out as SQLite writes it ("100.0", "1.0e+20", 15 digits).
    void valuesReadAsFromTheLedgerFile()
    {
        const BothLedgers seen = RunOnBothLedgers([] {
            auto db = OpenLedgerDatabase();
            SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Item\", \"Money\", \"Member\") VALUES (?, ?, ?, ?)"));
            for (double amount : {100.0, 0.1, 0.2, -12.5, 1e15, 1e16, 9999999999999.99, 123456789.123456789, 1.5e-7, -0.0, 2.675}) {
                insert.Reset();
                insert.BindAll({QStringLiteral("2003-05-01 08:00:00"), QStringLiteral("餐饮"), amount, QStringLiteral("Li")});
                insert.Run();
            }
            QStringList read;
            for (const char *sql : {"SELECT \"ID\", \"Date\", \"Item\", \"Money\", \"Member\" FROM \"Money\" ORDER BY \"ID\"",
                                    "SELECT sum(\"Money\"), sum(CAST(round(\"Money\" * 100) AS INTEGER)), count(*), max(\"Money\"), "
                                    "min(\"ID\"), sum(\"ID\"), avg(\"Money\") FROM \"Money\" WHERE \"Money\" < 1e16",
                                    "SELECT round(\"Money\"), \"Money\" * 2, \"ID\" * 1.5, \"ID\" / 2, \"Money\" + 1, -\"Money\" FROM \"Money\" ORDER BY \"ID\"",
                                    "SELECT \"Item\", sum(\"Money\"), count(*), sum(\"ID\") FROM \"Money\" GROUP BY \"Item\"",
                                    "SELECT sum(\"Money\") FROM \"Money\" WHERE \"ID\" < 0",
                                    "SELECT \"Value\" FROM \"Totals\" WHERE \"Name\" = 'Money|Money|'"}) {
                SqlStatement statement = db->Prepare(QString::fromLatin1(sql));
                while (statement.Step()) {
                    QStringList columns;
                    for (int c = 0; c < statement.ColumnCount(); ++c) {
                        static const char *const kinds[] = {"null", "int", "real", "text"};
                        columns.append(QStringLiteral("%1 %2 (%3, %4)").arg(QLatin1String(kinds[statement.Value(c).index()]), statement.Text(c))
                                           .arg(statement.Int(c)).arg(statement.Double(c), 0, 'g', 17));
                    }
                    read.append(columns.join(QStringLiteral(" | ")));
                }
            }
            return read;
        });
        QVERIFY2(Told(seen.onFile).isEmpty(), qPrintable(Told(seen.onFile)));
        COMPARE_BOTH_LEDGERS(seen);
    }

    // A statement that failed and was caught inside a transaction leaves the server's transaction
    // aborted; its COMMIT then takes everything back. The commit must not be reported as done.
    void aCommitTheServerTookBackIsAFailure()
    {
        TestDatabase database;
        const auto db = PgConnection::Open(database.Settings());
        db->Execute(QStringLiteral("CREATE TABLE \"Memo\" (\"ID\" integer PRIMARY KEY, \"Note\" text NOT NULL)"));
        const auto add = [&db](qint64 id, const SqlValue &note) {
            SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO \"Memo\" (ID, Note) VALUES (?, ?)"));
            insert.BindAll({id, note});
            insert.Run();
        };
        bool committed = false;
        {
            SqlTransaction transaction(*db);
            add(1, QStringLiteral("a"));
            try {
                add(2, std::monostate());
            } catch (const DbError &) {
            }
            try {
                transaction.Commit();
                committed = true;
            } catch (const DbError &) {
            }
        }
        SqlStatement rows = db->Prepare(QStringLiteral("SELECT count(*) FROM \"Memo\""));
        rows.Step();
        QCOMPARE(committed, rows.Int(0) == 1);
    }

    // Words inside a text or a comment are not the statement's: not a parameter, not a type, not
    // the end of a trigger's function.
    void textsAndCommentsAreLeftAsTheyAre()
    {
        int count = 0;
        QCOMPARE(PgDialect(QStringLiteral("SELECT \"A\" FROM \"T\" -- the item's sum\nWHERE \"B\" = ?"), &count),
                 QStringLiteral("SELECT \"a\" FROM \"t\" -- the item's sum\nWHERE \"b\" = $1"));
        QCOMPARE(count, 1);
        QCOMPARE(PgCommands(QStringLiteral("CREATE TABLE \"Note\" (\"Text\" TEXT NOT NULL DEFAULT 'TEXT')")),
                 QStringList({"CREATE TABLE \"note\" (\"text\" text COLLATE ucs_basic NOT NULL DEFAULT 'TEXT')"}));
        const QStringList trigger = PgCommands(QStringLiteral(
            "CREATE TRIGGER \"Memo_Mark\" AFTER INSERT ON \"Memo\" BEGIN\nUPDATE \"LedgerMark\" SET \"Note\" = 'cost $zarvel$ 5';\nEND"));
        QCOMPARE(trigger.size(), 2);
        QVERIFY2(trigger.at(0).contains(QLatin1String("'cost $zarvel$ 5'")), qPrintable(trigger.at(0)));
        const QString body = trigger.at(0).section(QLatin1String(" AS "), 1);
        const QString tag = body.left(body.indexOf(QLatin1Char('$'), 1) + 1);
        QCOMPARE(body.count(tag), 2);  // the function's quote opens and closes once
    }

    void aLostConnectionIsToldAsSuch()
    {
        TestDatabase database;
        const auto db = PgConnection::Open(database.Settings());
        SqlStatement who = db->Prepare(QStringLiteral("SELECT pg_backend_pid()"));
        who.Step();
        const qint64 pid = who.Int(0);
        const auto admin = PgConnection::Open(TestServer());
        SqlStatement end = admin->Prepare(QStringLiteral("SELECT pg_terminate_backend(CAST(? AS int))"));
        end.Bind(1, pid);
        end.Run();
        try {
            db->Execute(QStringLiteral("SELECT 1"));
            QFAIL("a statement on a connection the server ended ran");
        } catch (const DbError &error) {
            QVERIFY2(error.Explanation().startsWith(QStringLiteral("与服务器")), qPrintable(error.Message()));
        }
        QVERIFY(!db->IsConnected());
    }
};

QTEST_GUILESS_MAIN(TestPgConnection)
#include "tst_pgconnection.moc"
