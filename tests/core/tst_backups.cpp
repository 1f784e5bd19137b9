// Kept copies of the ledger: what a copy holds, ten kept, and a restore bringing back the ledger and
// its lists after keeping the present one.
#include "common/LedgerDate.h"
#include "common/Paths.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"
#include "db/LedgerBackups.h"
#include "db/SqlConnection.h"

#include "CommittedView.h"
#include "FileBytes.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QDir>
#include <QTest>

namespace {

qint64 Memos(SqlConnection &db)
{
    SqlStatement count = db.Prepare(QStringLiteral("SELECT count(*) FROM Memo"));
    count.Step();
    return count.Int(0);
}

} // namespace

class TestBackups : public QObject
{
    Q_OBJECT
private slots:
    void copiesKeptTenDeep()
    {
        TestInstallation install;
        auto db = SqlConnection::Open(DatabasePath());
        QString error;
        QStringList made;
        for (int i = 0; i < 12; ++i) {
            made << MakeBackup(*db, DataDirectory(), &error);
            QVERIFY2(!made.last().isEmpty(), qPrintable(error));
        }
        const QStringList kept = ListBackups(DataDirectory());
        QCOMPARE(kept.size(), kKeptBackups);
        QCOMPARE(kept.first(), made.last());  // newest first
        QVERIFY(!kept.contains(made.first()));
        const QString folder = DataDirectory() + QStringLiteral("/Backup/") + kept.first();
        QVERIFY(QFile::exists(folder + QStringLiteral("/Kinward.db")));
        QCOMPARE(ReadBytes(folder + QStringLiteral("/Item.kwl")), ReadBytes(DataFilePath(QStringLiteral("Item.kwl"))));
    }

    void restoreBringsBackTheLedgerAndItsLists()
    {
        TestInstallation install;
        MessageRecorder messages;
        auto db = SqlConnection::Open(DatabasePath());
        CMemoBook memos;
        memos.Fill(QStringLiteral("Date"));
        memos.Add(QStringLiteral("2003-05-01"), QStringLiteral("留着"), QStringLiteral("Li"));
        QString error;
        const QString copy = MakeBackup(*db, DataDirectory(), &error);
        const QByteArray banks = ReadBytes(DataFilePath(QStringLiteral("Bank.kwl")));
        memos.Add(QStringLiteral("2003-05-02"), QStringLiteral("后来的"), QStringLiteral("Li"));
        WriteBytes(DataFilePath(QStringLiteral("Bank.kwl")), "changed#");
        // Ten newer copies: the one restored is the oldest kept, and stays while it is put back.
        for (int i = 0; i < kKeptBackups - 1; ++i)
            MakeBackup(*db, DataDirectory(), &error);
        QCOMPARE(ListBackups(DataDirectory()).last(), copy);

        QVERIFY2(RestoreBackup(*db, DataDirectory(), copy, &error), qPrintable(error));
        QCOMPARE(Memos(*db), qint64(1));
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Bank.kwl"))), banks);
        // The ledger as it was before the restore is a copy itself: restoring it undoes the restore.
        const QString before = ListBackups(DataDirectory()).first();
        QVERIFY(RestoreBackup(*db, DataDirectory(), before, &error));
        QCOMPARE(Memos(*db), qint64(2));
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Bank.kwl"))), QByteArray("changed#"));
        // The books read the restored ledger again.
        memos.Close();
        memos.Fill(QStringLiteral("Date"));
        QCOMPARE(memos.GetItemCount(), 2);

        QVERIFY(!RestoreBackup(*db, DataDirectory(), QStringLiteral("no-such-copy"), &error));
        QVERIFY(error.contains(QStringLiteral("no-such-copy")));
    }

    void aClockBehindTheNewestCopyStillNamesTheNextAfterIt()
    {
        // The newest copy named by a clock that ran ahead, or one set back since: the next copies
        // are named after it all the same, and the newest stays first.
        TestInstallation install;
        auto db = SqlConnection::Open(DatabasePath());
        const QString ahead = QStringLiteral("2999-12-31_23-59-59");
        QVERIFY(QDir().mkpath(DataDirectory() + QStringLiteral("/Backup/") + ahead));
        WriteBytes(DataDirectory() + QStringLiteral("/Backup/") + ahead + QStringLiteral("/Kinward.db"), "copy");
        QString error;
        const QString first = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY2(!first.isEmpty(), qPrintable(error));
        const QString second = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY2(!second.isEmpty(), qPrintable(error));
        QCOMPARE(ListBackups(DataDirectory()), QStringList({second, first, ahead}));
        // Ten more: the copy named ahead is the oldest and goes, the newest ten stay.
        QStringList made;
        for (int i = 0; i < kKeptBackups; ++i)
            made.prepend(MakeBackup(*db, DataDirectory(), &error));
        QCOMPARE(ListBackups(DataDirectory()), made);
    }

    void aCopyFromBeforeAnUpgradeIsUpgradedWhenRestored()
    {
        // A ledger of an earlier version, with none of the figures this one keeps: its first opening
        // copies it before laying them. That copy restored is brought to the present form at once.
        TestInstallation install;
        MessageRecorder messages;
        {
            sqlite3 *raw = nullptr;
            QCOMPARE(sqlite3_open(DatabasePath().toUtf8().constData(), &raw), SQLITE_OK);
            QCOMPARE(sqlite3_exec(raw,
                                  "INSERT INTO Money (Date, Item, Money, Member, Explain) "
                                  "VALUES ('2003-01-01 08:00:00', '工资', 100, 'Li', '')",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(raw);
        }
        auto db = SqlConnection::Open(DatabasePath());
        const QStringList copies = ListBackups(DataDirectory());
        QCOMPARE(copies.size(), 1);
        QVERIFY(CommittedView(DataDirectory() + QStringLiteral("/Backup/") + copies.first() + QStringLiteral("/Kinward.db"))
                    .Rows(QStringLiteral("SELECT count(*) FROM MoneyMonthItems"))
                    .value(0)
                    .startsWith(QStringLiteral("error")));
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2003, 2, 1)), QStringLiteral("工资"), 50, QStringLiteral("Li"), QString());
        book.Close();
        const qint64 form = CommittedView(DatabasePath()).Number(QStringLiteral("PRAGMA user_version"));

        QString error;
        QVERIFY2(RestoreBackup(*db, DataDirectory(), copies.first(), &error), qPrintable(error));
        const CommittedView view(DatabasePath());
        QCOMPARE(view.Number(QStringLiteral("PRAGMA user_version")), form);
        QCOMPARE(view.Number(QStringLiteral("SELECT sum(Cents) FROM MoneyMonthItems")), qint64(10000));
        // Records written after the restore are counted in them.
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2003, 3, 1)), QStringLiteral("工资"), 5, QStringLiteral("Li"), QString());
        book.ComputeTotal();
        QCOMPARE(book.GetTotalCents(), qint64(10500));
        QCOMPARE(view.Number(QStringLiteral("SELECT sum(Cents) FROM MoneyMonthItems")), qint64(10500));
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
