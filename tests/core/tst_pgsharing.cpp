// What several computers sharing one server ledger rely on: the same list files for all, a notice of
// every change another copy commits (and none of one's own or of a change taken back), and a
// connection that is made again after the server went away, without half a transaction.
#include "db/CMoneyBook.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"
#include "db/ServerMigration.h"
#include "db/SqliteConnection.h"
#include "lists/ListFile.h"
#include "lists/ReferenceLists.h"

#include "MessageRecorder.h"
#include "PgTestServer.h"
#include "TestInstallation.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

namespace {

const QString kSchema = QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql");

// The payloads another copy's changes sent within a while.
QStringList Heard(PgConnection &listener, int ownPid, int waitMs = 1500)
{
    QStringList payloads;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < waitMs) {
        if (!listener.TakeNotifications(&payloads, ownPid))
            return {QStringLiteral("lost")};
        if (!payloads.isEmpty())
            break;
        QThread::msleep(20);
    }
    QThread::msleep(100);  // anything else of the same commit
    listener.TakeNotifications(&payloads, ownPid);
    payloads.removeDuplicates();
    payloads.sort();
    return payloads;
}

QByteArray ListFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

} // namespace

class TestPgSharing : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        UseLedgerFile();
        ClearReferenceLists();
    }

    // A household's lists move to the server with its ledger, and from then on every computer reads
    // and writes the same ones, whatever its own folder holds; an export takes them along.
    void listFilesAreSharedByEveryComputer()
    {
        TestDatabase database;
        TestInstallation first;
        g_itemList = QStringList{QStringLiteral("收入    工资"), QStringLiteral("支出    房租")};
        QVERIFY(SaveItemFile());
        const QByteArray localItems = ListFileBytes(first.DataFile(QStringLiteral("Item.kwl")));
        {
            const auto file = SqliteConnection::Open(first.DataFile(QStringLiteral("Kinward.db")));
            const MigrationReport report =
                MigrateToServer(*file, *PgConnection::Open(database.Settings()), kSchema, {}, first.Path() + QStringLiteral("/Data"));
            QVERIFY(report.tables.contains(QStringLiteral("Money")));
        }
        UseServerLedger(database.Settings());
        ClearReferenceLists();
        LoadAllListFiles();
        QCOMPARE(g_itemList, QStringList({QStringLiteral("收入    工资"), QStringLiteral("支出    房租")}));
        g_itemList.append(QStringLiteral("支出    水电"));
        QVERIFY(SaveItemFile());
        QCOMPARE(ListFileBytes(first.DataFile(QStringLiteral("Item.kwl"))), localItems);  // the folder's own is left

        {
            TestInstallation second;  // another computer, with the template's lists in its folder
            MessageRecorder messages;
            UseServerLedger(database.Settings());
            ClearReferenceLists();
            LoadAllListFiles();
            QCOMPARE(g_itemList.last(), QStringLiteral("支出    水电"));
            QCOMPARE(g_itemList.size(), 3);
            QVERIFY2(messages.messages.isEmpty(), qPrintable(messages.messages.value(0).text));

            // Exported, the file carries the lists; moved to another server database, they come along
            // instead of the folder's.
            const QString exported = second.Path() + QStringLiteral("/exported.db");
            ExportServerLedger(*PgConnection::Open(database.Settings()), kSchema, exported);
            TestDatabase again;
            const auto file = SqliteConnection::Open(exported);
            MigrateToServer(*file, *PgConnection::Open(again.Settings()), kSchema, {}, second.Path() + QStringLiteral("/Data"));
            UseServerLedger(again.Settings());
            ClearReferenceLists();
            LoadItemFile();
            QCOMPARE(g_itemList.size(), 3);
            QCOMPARE(g_itemList.last(), QStringLiteral("支出    水电"));
        }

        // Two computers changing one list: the later save, made on the list as it was before the
        // other's, is refused and shows the list as the server has it; nothing of the first is lost.
        UseServerLedger(database.Settings());
        ClearReferenceLists();
        LoadItemFile();
        const auto other = PgConnection::Open(database.Settings());
        {
            SqlStatement put = other->Prepare(QStringLiteral("UPDATE \"ListFiles\" SET \"Content\" = ? WHERE \"Name\" = 'Item.kwl'"));
            const QByteArray theirs = "\xca\xd5\xc8\xeb    \xb9\xa4\xd7\xca#";  // 收入 工资, alone
            put.BindBlob(1, theirs);
            put.Run();
        }
        g_itemList.append(QStringLiteral("支出    物业"));
        {
            MessageRecorder refused;
            QVERIFY(!SaveItemFile());
            QVERIFY2(refused.Texts().join(QLatin1Char('\n')).contains(QStringLiteral("另一台电脑改过")), qPrintable(refused.Texts().join(QLatin1Char('\n'))));
        }
        QCOMPARE(g_itemList, QStringList{QStringLiteral("收入    工资")});
        g_itemList.append(QStringLiteral("支出    物业"));
        QVERIFY(SaveItemFile());  // on the list as it now is

        // A list this copy could not read (the server had none a moment ago) is never written over
        // the one another computer has put there since: the member list is not emptied.
        other->Execute(QStringLiteral("DELETE FROM \"ListFiles\" WHERE \"Name\" = 'Member.kwl'"));
        {
            MessageRecorder failed;
            ClearReferenceLists();
            LoadMemberFile();
        }
        other->Execute(QStringLiteral("INSERT INTO \"ListFiles\" VALUES ('Member.kwl', '\\x5a686f7523236c6923'::bytea)"));
        g_memberList = QStringList{QStringLiteral("新人"), QString()};
        {
            MessageRecorder refused;
            QVERIFY(!SaveMemberFile());
        }
        QCOMPARE(QueryRowTexts(*other, QStringLiteral("SELECT encode(\"Content\", 'escape') FROM \"ListFiles\" WHERE \"Name\" = 'Member.kwl'")),
                 QStringList{QStringLiteral("Zhou##li#")});

        // A list the server cannot give is the list's own failure, as a missing file is.
        UseServerLedger(database.Settings());
        PgConnection::Open(database.Settings())->Execute(QStringLiteral("DELETE FROM \"ListFiles\" WHERE \"Name\" = 'Bank.kwl'"));
        MessageRecorder messages;
        LoadBankFile();
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages.first().text, QStringLiteral("读取银行名称文件失败"));
    }

    // Every commit of another copy is heard, once per table, after the commit; one's own and a
    // rolled-back change are not.
    void anotherCopysChangesAreHeard()
    {
        TestDatabase database;
        LayServerLedger(*PgConnection::Open(database.Settings()), kSchema);
        TestInstallation install;
        UseServerLedger(database.Settings());
        const auto own = OpenLedgerDatabase();  // lays what sharing needs on a ledger laid before
        const auto ownPg = std::dynamic_pointer_cast<PgConnection>(own);
        QVERIFY(ownPg);
        const auto listener = PgConnection::Open(database.Settings());
        listener->Execute(QStringLiteral("LISTEN ") + ServerChangesChannel());

        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        QVERIFY(book.Add(QDateTime(QDate(2026, 5, 1), QTime(9, 0)), QStringLiteral("支出    房租"), -3500, QString(), QString()));
        QCOMPARE(Heard(*listener, ownPg->BackendPid(), 400), QStringList());

        const auto other = PgConnection::Open(database.Settings());
        {
            SqlTransaction transaction(*other);
            other->Execute(QStringLiteral("INSERT INTO \"Money\" (\"Item\", \"Money\") VALUES ('支出    餐饮', -20)"));
            other->Execute(QStringLiteral("INSERT INTO \"Memo\" (\"Matter\") VALUES ('买菜')"));
            QCOMPARE(Heard(*listener, ownPg->BackendPid(), 300), QStringList());  // not before the commit
            transaction.Commit();
        }
        QCOMPARE(Heard(*listener, ownPg->BackendPid()), QStringList({QStringLiteral("memo"), QStringLiteral("money")}));
        {
            SqlTransaction takenBack(*other);
            other->Execute(QStringLiteral("DELETE FROM \"Money\""));
        }
        QCOMPARE(Heard(*listener, ownPg->BackendPid(), 400), QStringList());
        other->Execute(QStringLiteral("UPDATE \"ListFiles\" SET \"Content\" = \"Content\""));
        other->Execute(QStringLiteral("INSERT INTO \"Budget\" (\"Item\", \"Month\", \"Cents\") VALUES ('房租', '', 1)"));
        QCOMPARE(Heard(*listener, ownPg->BackendPid()), QStringList({QStringLiteral("budget"), QStringLiteral("listfiles")}));

        // The other copy's record is read by the book once it reads again.
        book.Close();
        book.ShowPage(1, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 2);
    }

    // A server that went away and came back: the statement that finds the connection lost in a
    // transaction fails, nothing of the transaction stays, and the next one runs on a connection made
    // again in place (the books keep theirs).
    void aLostConnectionIsMadeAgainInPlace()
    {
        TestDatabase database;
        LayServerLedger(*PgConnection::Open(database.Settings()), kSchema);
        TestInstallation install;
        UseServerLedger(database.Settings());
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        QVERIFY(book.Add(QDateTime(QDate(2026, 5, 1), QTime(9, 0)), QStringLiteral("支出    房租"), -3500, QString(), QString()));
        const auto db = std::dynamic_pointer_cast<PgConnection>(OpenLedgerDatabase());
        const auto admin = PgConnection::Open(database.Settings());
        const auto cut = [&] {
            SqlStatement kill = admin->Prepare(QStringLiteral("SELECT pg_terminate_backend(CAST(? AS int4))"));
            kill.Bind(1, qint64(db->BackendPid()));
            QVERIFY(kill.Step());
            QThread::msleep(100);
        };

        cut();
        {
            MessageRecorder messages;
            bool refused = false;
            try {
                SqlTransaction transaction(*db);  // made again at its start
                db->Execute(QStringLiteral("INSERT INTO \"Money\" (\"Item\", \"Money\") VALUES ('支出    餐饮', -20)"));
                cut();
                db->Execute(QStringLiteral("INSERT INTO \"Money\" (\"Item\", \"Money\") VALUES ('支出    餐饮', -30)"));
                transaction.Commit();
            } catch (const DbError &error) {
                refused = true;
                QVERIFY2(error.Message().contains(QStringLiteral("连接已断开")), qPrintable(error.Message()));
            }
            QVERIFY(refused);
        }
        QVERIFY(!db->IsConnected());
        QThread::msleep(2100);  // tries are spaced
        QCOMPARE(QueryRowTexts(*db, QStringLiteral("SELECT count(*) FROM \"Money\"")), QStringList{QStringLiteral("1")});
        QVERIFY(db->IsConnected());
        QVERIFY(OpenLedgerDatabase() == db);

        // The book goes on on the same connection, its kept total whole.
        QVERIFY(book.Add(QDateTime(QDate(2026, 5, 2), QTime(9, 0)), QStringLiteral("支出    餐饮"), -10, QString(), QString()));
        book.ComputeTotal();
        QCOMPARE(book.GetTotalCents(), qint64(-351000));
        QCOMPARE(QueryRowTexts(*admin, QStringLiteral("SELECT round(sum(\"Money\") * 100) FROM \"Money\"")), QStringList{QStringLiteral("-351000.0")});
    }
};

QTEST_GUILESS_MAIN(TestPgSharing)
#include "tst_pgsharing.moc"
