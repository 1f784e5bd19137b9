// The connection to a ledger on a PostgreSQL server, against a real private server: logging in, the
// SQL the books write, values of every kind, and transactions that nest.
#include "db/DbError.h"
#include "db/PgConnection.h"
#include "db/PgDialect.h"

#include "PgTestServer.h"

#include <QTest>

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
                     trigger.at(0).contains(QLatin1String("CAST(round(NEW.\"money\" * 100) AS bigint) WHERE \"name\" = 'Money|Money|';")),
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
