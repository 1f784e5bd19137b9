// Kept copies of the ledger: what a copy holds, which are kept, a copy made only when the ledger
// changed, copies and restores killed at each step leaving the old ledger or the restored one whole,
// damaged copies never offered, and a full disk.
#include "common/LedgerDate.h"
#include "common/Paths.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/LedgerBackups.h"
#include "db/SqliteConnection.h"

#include "CommittedView.h"
#include "FileBytes.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QTest>
#include <csignal>
#include <optional>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// SQL run on a ledger file around the program, as an earlier or a later program leaves one; true when
// it ran.
bool RunOnFile(const QString &path, const char *sql)
{
    sqlite3 *raw = nullptr;
    const bool ran = sqlite3_open(path.toUtf8().constData(), &raw) == SQLITE_OK && sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return ran;
}

qint64 Memos(SqlConnection &db)
{
    SqlStatement count = db.Prepare(QStringLiteral("SELECT count(*) FROM Memo"));
    count.Step();
    return count.Int(0);
}

// A connection of the test's own to the ledger, brought to this program's form as the program's
// opening brings it (a child process must not use a connection its parent holds).
std::unique_ptr<SqlConnection> OpenAsideInThisForm()
{
    auto db = SqliteConnection::OpenAside(DatabasePath());
    EnsureKeptFigures(*db);
    return db;
}

// A change to the ledger, so the next copy is a new one.
void Change(SqlConnection &db)
{
    db.Execute(QStringLiteral("INSERT INTO Memo (Date, Matter, Member) VALUES ('2003-05-01 00:00:00', '改动', 'Li')"));
}

// Fills the ledger past a few stretches of a copy (some 12 MB), so a copy can be stopped inside one.
void MakeLarge(SqlConnection &db)
{
    db.Execute(QStringLiteral("INSERT INTO Memo (Date, Matter, Member) "
                                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                          "SELECT '2003-06-01 00:00:00', printf('%.4000d', i), 'Li' FROM n"));
}

QString CopyFolder(const QString &name)
{
    return DataDirectory() + QStringLiteral("/Backup/") + name;
}

// Runs the work in a child process that is killed the first time it reaches the step (as a power
// cut or kill -9 would stop it there). True when it was killed there.
bool KilledAt(const QString &step, const std::function<void()> &work)
{
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        SetBackupStepHook([&](const QString &name) {
            if (name == step)
                raise(SIGKILL);
        });
        work();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// Every copy offered is whole: it passes the full check, and its lists are there.
void VerifyOfferedCopiesWhole()
{
    for (const QString &name : ListBackups(DataDirectory())) {
        QCOMPARE(SqliteConnection::CheckWholeLedger(CopyFolder(name) + QStringLiteral("/Kinward.db")), QString());
        QVERIFY(QFile::exists(CopyFolder(name) + QStringLiteral("/Member.kwl")));
        // Read without leaving anything beside it: no shared-memory file, no log.
        QCOMPARE(QDir(CopyFolder(name)).entryList({QStringLiteral("Kinward.db-*")}, QDir::Files), QStringList());
    }
    const QStringList all = QDir(DataDirectory() + QStringLiteral("/Backup")).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(all.size(), ListBackups(DataDirectory()).size());  // nothing unfinished left after a start
}

// The ledger's database and its lists, as bytes and rows, for comparing whole ledgers.
struct LedgerState
{
    QStringList rows;
    QByteArray members;
    QByteArray banks;
    static LedgerState Now()
    {
        return {CommittedView(DatabasePath()).Dump(), ReadBytes(DataFilePath(QStringLiteral("Member.kwl"))),
                ReadBytes(DataFilePath(QStringLiteral("Bank.kwl")))};
    }
    // What a copy holds. The test's own reading leaves its files beside the copy (the program's
    // leaves none): they go.
    static LedgerState OfCopy(const QString &name)
    {
        const QString folder = CopyFolder(name);
        LedgerState state{CommittedView(folder + QStringLiteral("/Kinward.db")).Dump(), ReadBytes(folder + QStringLiteral("/Member.kwl")),
                          ReadBytes(folder + QStringLiteral("/Bank.kwl"))};
        QFile::remove(folder + QStringLiteral("/Kinward.db-wal"));
        QFile::remove(folder + QStringLiteral("/Kinward.db-shm"));
        return state;
    }
    bool operator==(const LedgerState &other) const
    {
        return rows == other.rows && members == other.members && banks == other.banks;
    }
};

// Restores the copy with the disk filling (to the limit, in bytes) as the restore reaches the step;
// the limit stays in *full until the caller lets it go.
RestoreResult RestoreWithDiskFullAt(SqlConnection &db, const QString &copy, const QString &step, qint64 limit,
                                    std::optional<FileSizeLimit> *full, QString *error)
{
    SetBackupStepHook([&](const QString &reached) {
        if (reached == step)
            full->emplace(limit);
    });
    const RestoreResult result = RestoreBackup(db, DataDirectory(), copy, error);
    SetBackupStepHook({});
    return result;
}

// A large ledger and a copy of it whose member list says it is the copy's ("Copy#1#"): the copy's
// name, or an empty text when none could be made.
QString KeepLargeCopy()
{
    QString error, copy;
    {
        auto db = OpenAsideInThisForm();
        MakeLarge(*db);
        copy = MakeBackup(*db, DataDirectory(), &error);
    }
    if (copy.isEmpty())
        qWarning("no copy: %s", qPrintable(error));
    else
        WriteBytes(CopyFolder(copy) + QStringLiteral("/Member.kwl"), "Copy#1#");
    return copy;
}

} // namespace

class TestBackups : public QObject
{
    Q_OBJECT
private slots:
    void copiesKeptTenDeep()
    {
        TestInstallation install;
        auto db = OpenLedgerDatabase();
        QString error;
        QStringList made;
        for (int i = 0; i < 12; ++i) {
            Change(*db);
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
        auto db = OpenLedgerDatabase();
        CMemoBook memos;
        memos.Fill(QStringLiteral("Date"));
        memos.Add(QStringLiteral("2003-05-01"), QStringLiteral("留着"), QStringLiteral("Li"));
        QString error;
        const QString copy = MakeBackup(*db, DataDirectory(), &error);
        const QByteArray banks = ReadBytes(DataFilePath(QStringLiteral("Bank.kwl")));
        memos.Add(QStringLiteral("2003-05-02"), QStringLiteral("后来的"), QStringLiteral("Li"));
        WriteBytes(DataFilePath(QStringLiteral("Bank.kwl")), "changed#");
        // Ten newer copies: the one restored is the oldest kept, and stays while it is put back.
        for (int i = 0; i < kKeptBackups - 1; ++i) {
            Change(*db);
            MakeBackup(*db, DataDirectory(), &error);
        }
        db->Execute(QStringLiteral("DELETE FROM Memo WHERE Matter = '改动'"));
        QCOMPARE(ListBackups(DataDirectory()).last(), copy);

        QCOMPARE(RestoreBackup(*db, DataDirectory(), copy, &error), RestoreResult::Restored);
        QCOMPARE(Memos(*db), qint64(1));
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Bank.kwl"))), banks);
        // The ledger as it was before the restore is a copy itself: restoring it undoes the restore.
        const QString before = ListBackups(DataDirectory()).first();
        QCOMPARE(RestoreBackup(*db, DataDirectory(), before, &error), RestoreResult::Restored);
        QCOMPARE(Memos(*db), qint64(2));
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Bank.kwl"))), QByteArray("changed#"));
        // The books read the restored ledger again.
        memos.Close();
        memos.Fill(QStringLiteral("Date"));
        QCOMPARE(memos.GetItemCount(), 2);

        QCOMPARE(RestoreBackup(*db, DataDirectory(), QStringLiteral("no-such-copy"), &error), RestoreResult::Untouched);
        QVERIFY(error.contains(QStringLiteral("no-such-copy")));
    }

    void aClockBehindTheNewestCopyStillNamesTheNextAfterIt()
    {
        // The newest copy named by a clock that ran ahead, or one set back since: the next copies
        // are named after it all the same, and the newest stays first.
        TestInstallation install;
        auto db = OpenLedgerDatabase();
        const QString ahead = QStringLiteral("2999-12-31_23-59-59");
        QVERIFY(QDir().mkpath(CopyFolder(ahead)));
        QVERIFY(QFile::copy(DatabasePath(), CopyFolder(ahead) + QStringLiteral("/Kinward.db")));
        QString error;
        const QString first = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY2(!first.isEmpty(), qPrintable(error));
        Change(*db);
        const QString second = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY2(!second.isEmpty(), qPrintable(error));
        QCOMPARE(ListBackups(DataDirectory()), QStringList({second, first, ahead}));
        // Ten more: the copy named ahead is the oldest and goes, the newest ten stay.
        QStringList made;
        for (int i = 0; i < kKeptBackups; ++i) {
            Change(*db);
            made.prepend(MakeBackup(*db, DataDirectory(), &error));
        }
        QCOMPARE(ListBackups(DataDirectory()), made);
    }

    void aCopyFromBeforeAnUpgradeIsUpgradedWhenRestored()
    {
        // A ledger of an earlier version, with none of the figures this one keeps: its first opening
        // copies it before laying them. That copy restored is brought to the present form at once.
        TestInstallation install;
        MessageRecorder messages;
        QVERIFY(RunOnFile(DatabasePath(), "INSERT INTO Money (Date, Item, Money, Member, Explain) "
                                          "VALUES ('2003-01-01 08:00:00', '工资', 100, 'Li', '')"));
        auto db = OpenLedgerDatabase();
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
        QCOMPARE(RestoreBackup(*db, DataDirectory(), copies.first(), &error), RestoreResult::Restored);
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

    void anUnchangedLedgerIsNotCopiedAgain()
    {
        // Every exit asks for a copy; one is made only when the ledger or a list changed since the newest.
        TestInstallation install;
        auto db = OpenLedgerDatabase();
        QString error;
        QVERIFY(LedgerChangedSinceNewestCopy(*db, DataDirectory()));
        const QString first = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY2(!first.isEmpty(), qPrintable(error));
        QVERIFY(!LedgerChangedSinceNewestCopy(*db, DataDirectory()));
        QCOMPARE(MakeBackup(*db, DataDirectory(), &error), first);
        QCOMPARE(ListBackups(DataDirectory()).size(), 1);

        WriteBytes(DataFilePath(QStringLiteral("Item.kwl")), Gbk(QStringLiteral("工资#")));
        QVERIFY(LedgerChangedSinceNewestCopy(*db, DataDirectory()));
        const QString second = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY(second != first);
        Change(*db);
        QVERIFY(LedgerChangedSinceNewestCopy(*db, DataDirectory()));
        QVERIFY(MakeBackup(*db, DataDirectory(), &error) != second);
        QCOMPARE(ListBackups(DataDirectory()).size(), 3);
    }

    void aLedgerUpgradedOnOpeningIsNotCopiedAgainByTheNextStart()
    {
        // The change mark appears with the upgrade the opening makes: the copy at exit names it as any
        // later opening reads it, so the next exit with nothing changed makes no copy.
        TestInstallation install;
        MessageRecorder messages;
        QVERIFY(RunOnFile(DatabasePath(), "INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES ('2003-01-01 08:00:00', '工资', 100, 'Li', '')"));
        auto db = OpenLedgerDatabase();  // upgraded, copied first
        QCOMPARE(ListBackups(DataDirectory()).size(), 1);
        QString error;
        QVERIFY(!MakeBackup(*db, DataDirectory(), &error).isEmpty());  // at exit: the upgrade changed it
        const auto later = OpenAsideInThisForm();
        QVERIFY(!LedgerChangedSinceNewestCopy(*later, DataDirectory()));
    }

    void copiesTakeNoMoreThanTheirRoom()
    {
        // Older copies that together pass the room the copies may take (here the floor, the ledger
        // being small): the oldest go first when a copy is made; the newest always stays.
        TestInstallation install;
        auto db = OpenLedgerDatabase();
        const qint64 bulk = kKeptSizeFloor / 3;
        for (const char *name : {"2003-01-01_00-00-00", "2003-01-02_00-00-00", "2003-01-03_00-00-00"}) {
            QVERIFY(QDir().mkpath(CopyFolder(QString::fromLatin1(name))));
            QVERIFY(QFile::copy(DatabasePath(), CopyFolder(QString::fromLatin1(name)) + QStringLiteral("/Kinward.db")));
            QFile padding(CopyFolder(QString::fromLatin1(name)) + QStringLiteral("/padding"));
            QVERIFY(padding.open(QIODevice::WriteOnly) && padding.resize(bulk));  // sparse: no room taken really
        }
        QCOMPARE(MeasureBackups(DataDirectory()).copies, 3);
        QVERIFY(MeasureBackups(DataDirectory()).bytes > 3 * bulk);
        QCOMPARE(MeasureBackups(DataDirectory()).limit, kKeptSizeFloor);
        QString error;
        const QString made = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY2(!made.isEmpty(), qPrintable(error));
        QCOMPARE(ListBackups(DataDirectory()), QStringList({made, "2003-01-03_00-00-00", "2003-01-02_00-00-00"}));
        QVERIFY(MeasureBackups(DataDirectory()).bytes <= kKeptSizeFloor);
    }

    void aCopyKilledAtAnyStepIsNeverOffered_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("made");
        QTest::newRow("before the database") << "copy-started" << false;
        QTest::newRow("inside the database") << "copy-database" << false;
        QTest::newRow("after the lists") << "copy-lists" << false;
        QTest::newRow("checked, not named") << "copy-checked" << false;
        QTest::newRow("named") << "copy-placed" << true;
    }
    void aCopyKilledAtAnyStepIsNeverOffered()
    {
        QFETCH(QString, step);
        QFETCH(bool, made);
        TestInstallation install;
        {
            auto db = OpenAsideInThisForm();
            MakeLarge(*db);
        }
        const LedgerState before = LedgerState::Now();
        QVERIFY(KilledAt(step, [] {
            auto db = OpenAsideInThisForm();
            QString error;
            MakeBackup(*db, DataDirectory(), &error);
        }));
        QCOMPARE(ListBackups(DataDirectory()).size(), made ? 1 : 0);
        QString error;
        QVERIFY2(SettleBackups(DataDirectory(), &error), qPrintable(error));  // the next start
        VerifyOfferedCopiesWhole();
        QVERIFY(LedgerState::Now() == before);
    }

    void aDamagedCopyIsNeitherOfferedNorRestored()
    {
        // Copies left by a crash of an earlier version, or spoiled by hand: an empty database, one cut
        // short, one with the journal of an interrupted write, one whose pages are damaged inside.
        TestInstallation install;
        MessageRecorder messages;
        auto db = OpenLedgerDatabase();
        MakeLarge(*db);
        const QByteArray whole = ReadBytes(DatabasePath());
        const auto lay = [](const QString &name, const QByteArray &bytes) {
            QVERIFY(QDir().mkpath(CopyFolder(name)));
            WriteBytes(CopyFolder(name) + QStringLiteral("/Kinward.db"), bytes);
            WriteBytes(CopyFolder(name) + QStringLiteral("/Member.kwl"), "Li#1#");
        };
        lay(QStringLiteral("2003-01-01_00-00-00"), QByteArray());
        lay(QStringLiteral("2003-01-02_00-00-00"), whole.left(whole.size() / 2));
        lay(QStringLiteral("2003-01-03_00-00-00"), whole);
        WriteBytes(CopyFolder(QStringLiteral("2003-01-03_00-00-00")) + QStringLiteral("/Kinward.db-journal"), QByteArray(4096, 'j'));
        QByteArray spoiled = whole;
        for (qsizetype at = 8 * 4096; at < spoiled.size(); at += 4096)
            spoiled[at + 10] = char(spoiled[at + 10] ^ 0x5a);  // every page's header from the ninth on
        lay(QStringLiteral("2003-01-04_00-00-00"), spoiled);
        // Whole, but written to by another program since (its log holds pages the file lacks).
        lay(QStringLiteral("2003-01-05_00-00-00"), whole);
        WriteBytes(CopyFolder(QStringLiteral("2003-01-05_00-00-00")) + QStringLiteral("/Kinward.db-wal"), QByteArray(4096, 'w'));
        QCOMPARE(ListBackups(DataDirectory()), QStringList({"2003-01-04_00-00-00"}));

        const LedgerState before = LedgerState::Now();
        QString error;
        QCOMPARE(RestoreBackup(*db, DataDirectory(), QStringLiteral("2003-01-04_00-00-00"), &error), RestoreResult::Untouched);
        QVERIFY2(error.contains(QStringLiteral("已损坏")), qPrintable(error));
        QVERIFY(LedgerState::Now() == before);
        QVERIFY(!QFileInfo::exists(DataFilePath(QStringLiteral(".restore"))));
        QCOMPARE(RestoreBackup(*db, DataDirectory(), QStringLiteral("2003-01-01_00-00-00"), &error), RestoreResult::Untouched);
        QVERIFY(LedgerState::Now() == before);

        // The next start removes the copies that were never whole; the damaged one it cannot tell, and
        // the one written to since it leaves to the household.
        QVERIFY(SettleBackups(DataDirectory(), &error));
        QCOMPARE(QDir(DataDirectory() + QStringLiteral("/Backup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"2003-01-04_00-00-00", "2003-01-05_00-00-00"}));
    }

    void aRestoreKilledAtAnyStepLeavesOneLedgerWhole_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("restored");
        QTest::newRow("started") << "restore-started" << false;
        QTest::newRow("copy read aside") << "restore-staged" << false;
        QTest::newRow("keeping the ledger first") << "copy-database" << false;
        QTest::newRow("marked") << "restore-marked" << true;
        QTest::newRow("inside the database") << "restore-database" << true;
        QTest::newRow("database in place") << "restore-database-placed" << true;
        QTest::newRow("one list in place") << "restore-list" << true;
    }
    void aRestoreKilledAtAnyStepLeavesOneLedgerWhole()
    {
        QFETCH(QString, step);
        QFETCH(bool, restored);
        TestInstallation install;
        QString error;
        const QString copy = KeepLargeCopy();
        QVERIFY(!copy.isEmpty());
        const LedgerState kept = LedgerState::OfCopy(copy);
        {
            auto db = OpenAsideInThisForm();
            db->Execute(QStringLiteral("DELETE FROM Memo WHERE ID % 2 = 0"));
            MakeLarge(*db);
        }
        WriteBytes(DataFilePath(QStringLiteral("Member.kwl")), "Today#1#");
        WriteBytes(DataFilePath(QStringLiteral("Bank.kwl")), Gbk(QStringLiteral("今天的银行#")));
        const LedgerState today = LedgerState::Now();

        QVERIFY(KilledAt(step, [&] {
            auto db = OpenAsideInThisForm();
            QString reason;
            RestoreBackup(*db, DataDirectory(), copy, &reason);
        }));
        QVERIFY2(SettleBackups(DataDirectory(), &error), qPrintable(error));  // the next start
        const LedgerState after = LedgerState::Now();
        QVERIFY(after == (restored ? kept : today));
        QCOMPARE(SqliteConnection::CheckWholeLedger(DatabasePath()), QString());
        QVERIFY(!QFileInfo::exists(DataFilePath(QStringLiteral(".restore"))));
        VerifyOfferedCopiesWhole();
        QVERIFY(ListBackups(DataDirectory()).contains(copy));
    }

    void aStartFinishesARestoreWhoseDatabaseWasPutBackEvenWhenItCannotCopyItAgain()
    {
        // Killed once the database was put back, before the lists: the next start, short of room to
        // copy the database again, sees it is in place already and puts the lists after it, rather
        // than dropping the restore and leaving the restored records with today's lists.
        TestInstallation install;
        QString error, copy;
        {
            auto db = OpenAsideInThisForm();
            MakeLarge(*db);
            copy = MakeBackup(*db, DataDirectory(), &error);
            QVERIFY2(!copy.isEmpty(), qPrintable(error));
            db->Execute(QStringLiteral("DELETE FROM Memo WHERE ID % 2 = 0"));
        }
        WriteBytes(CopyFolder(copy) + QStringLiteral("/Member.kwl"), "Copy#1#");
        WriteBytes(DataFilePath(QStringLiteral("Member.kwl")), "Today#1#");
        QVERIFY(KilledAt(QStringLiteral("restore-database-placed"), [&] {
            auto db = OpenAsideInThisForm();
            QString reason;
            RestoreBackup(*db, DataDirectory(), copy, &reason);
        }));
        {
            FileSizeLimit full(64 * 1024);  // the lists fit, the database would not
            QVERIFY2(SettleBackups(DataDirectory(), &error), qPrintable(error));
        }
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Member.kwl"))), QByteArray("Copy#1#"));
        QVERIFY(!RestoreUnderWay(DataDirectory()));
        QCOMPARE(CommittedView(DatabasePath()).Number(QStringLiteral("SELECT count(*) FROM Memo")),
                 CommittedView(CopyFolder(copy) + QStringLiteral("/Kinward.db")).Number(QStringLiteral("SELECT count(*) FROM Memo")));
    }

    void restoringTheOldestCopyOfAnEarlierFormKeepsItsLists()
    {
        // The copy restored is the oldest of the ten and was made by an earlier form of the file: it is
        // brought to the present form aside, so no new copy pushes it out before its lists are read.
        TestInstallation install;
        MessageRecorder messages;
        {
            auto db = OpenLedgerDatabase();
            QString error;
            for (int i = 0; i < kKeptBackups; ++i) {
                Change(*db);
                QVERIFY(!MakeBackup(*db, DataDirectory(), &error).isEmpty());
            }
        }
        const QString oldest = ListBackups(DataDirectory()).last();
        QVERIFY(RunOnFile(CopyFolder(oldest) + QStringLiteral("/Kinward.db"), "DROP TABLE MoneyMonthItems; PRAGMA user_version = 0;"));
        WriteBytes(CopyFolder(oldest) + QStringLiteral("/Member.kwl"), "Oldest#1#");
        auto db = OpenLedgerDatabase();
        Change(*db);
        QString error;
        QCOMPARE(RestoreBackup(*db, DataDirectory(), oldest, &error), RestoreResult::Restored);
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Member.kwl"))), QByteArray("Oldest#1#"));
        QVERIFY(CommittedView(DatabasePath()).Rows(QStringLiteral("SELECT count(*) FROM MoneyMonthItems")).value(0) == QStringLiteral("0"));
        // The copy put back stays offered until a newer copy takes its place among the ten.
        QCOMPARE(ListBackups(DataDirectory()).size(), kKeptBackups + 1);
        QCOMPARE(ListBackups(DataDirectory()).last(), oldest);
    }

    void aCopyOnAFullDiskIsToldAndNothingHalfIsOffered()
    {
        TestInstallation install;
        auto db = OpenLedgerDatabase();
        MakeLarge(*db);
        QString error;
        for (const rlim_t room : {rlim_t(0), rlim_t(4096), rlim_t(1024 * 1024)}) {
            {
                FileSizeLimit full(room);
                QVERIFY(full.IsValid());
                QVERIFY(MakeBackup(*db, DataDirectory(), &error).isEmpty());
            }
            QVERIFY2(error.startsWith(QStringLiteral("磁盘空间不足")), qPrintable(error));  // said as a household says it
            QCOMPARE(ListBackups(DataDirectory()), QStringList());
            QVERIFY(QDir(DataDirectory() + QStringLiteral("/Backup")).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        }
    }

    void aRestoreFailingToWriteTheDatabaseLeavesTheLedgerUntouchedAndOpen()
    {
        // The disk fills just as the database is put back (the restore needs room for the copy kept
        // first, the copy read aside and the ledger's journal). Putting the database back is one
        // transaction: it failed, nothing of the ledger or its lists changed. The household must not be
        // told the ledger is half restored, nor be kept out of it at the next start while the disk is
        // still full.
        TestInstallation install;
        MessageRecorder messages;
        QString error;
        const QString copy = KeepLargeCopy();
        QVERIFY(!copy.isEmpty());
        auto db = OpenAsideInThisForm();
        db->Execute(QStringLiteral("DELETE FROM Memo WHERE ID % 2 = 0"));
        WriteBytes(DataFilePath(QStringLiteral("Member.kwl")), "Today#1#");
        const LedgerState today = LedgerState::Now();

        std::optional<FileSizeLimit> full;
        const RestoreResult result = RestoreWithDiskFullAt(*db, copy, QStringLiteral("restore-marked"), 4096, &full, &error);
        QVERIFY(full && full->IsValid());
        QVERIFY(LedgerState::Now() == today);  // nothing was changed...
        QCOMPARE(result, RestoreResult::Untouched);  // ...and it is told so
        QVERIFY(!RestoreUnderWay(DataDirectory()));
        db.reset();
        // The next start, the disk still full: the ledger is opened as it is.
        QVERIFY2(SettleBackups(DataDirectory(), &error), qPrintable(error));
        full.reset();  // read back with room again: a reader of the ledger needs its shared-memory file
        QVERIFY(LedgerState::Now() == today);
    }

    void aRestoreWhoseDatabaseWasPutBackIsNotDroppedWhenTheStartCannotPutItBackAgain()
    {
        // The database is put back, then the disk fills before the lists are: the household is told to
        // make room and start again. Started again with the disk still full, the database cannot be
        // written a second time; but it is already the copy's. Dropping the restore then would open the
        // copy's records with today's lists, told the ledger is as it was before the restore.
        TestInstallation install;
        MessageRecorder messages;
        QString error;
        const QString copy = KeepLargeCopy();
        QVERIFY(!copy.isEmpty());
        const LedgerState kept = LedgerState::OfCopy(copy);
        auto db = OpenAsideInThisForm();
        db->Execute(QStringLiteral("DELETE FROM Memo WHERE ID % 2 = 0"));
        WriteBytes(DataFilePath(QStringLiteral("Member.kwl")), "Today#1#");
        const LedgerState today = LedgerState::Now();

        std::optional<FileSizeLimit> full;
        const RestoreResult result =
            RestoreWithDiskFullAt(*db, copy, QStringLiteral("restore-database-placed"), 0, &full, &error);
        QVERIFY(full && full->IsValid());
        QCOMPARE(result, RestoreResult::Pending);
        db.reset();
        // The next start, the disk still full.
        const bool opens = SettleBackups(DataDirectory(), &error);
        full.reset();
        const LedgerState after = LedgerState::Now();
        // Opened, the ledger must be one whole: the copy's with its lists, or today's with its own.
        QVERIFY2(!opens || after == kept || after == today, qPrintable(error));
        QVERIFY2(!opens || !error.contains(QStringLiteral("帐目保持恢复前的样子")) || after == today, qPrintable(error));
    }

    void aRestoreBlockedByAnotherProgramIsNotToldAsAFullDiskLongSinceMadeRoom()
    {
        // A restore failed on a full disk; room was made. Tried again, it fails because another program
        // holds the ledger: the household must not be told once more that the disk is full (it would
        // free room and try again in vain).
        TestInstallation install;
        MessageRecorder messages;
        QString error;
        auto db = OpenLedgerDatabase();
        MakeLarge(*db);
        const QString copy = MakeBackup(*db, DataDirectory(), &error);
        QVERIFY2(!copy.isEmpty(), qPrintable(error));
        db->Execute(QStringLiteral("DELETE FROM Memo WHERE ID % 2 = 0"));
        {
            std::optional<FileSizeLimit> full;
            QCOMPARE(RestoreWithDiskFullAt(*db, copy, QStringLiteral("restore-marked"), 4096, &full, &error),
                     RestoreResult::Untouched);
            QVERIFY2(error.contains(QStringLiteral("磁盘空间不足")), qPrintable(error));
        }
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(DatabasePath().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        const RestoreResult result = RestoreBackup(*db, DataDirectory(), copy, &error);
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(result, RestoreResult::Untouched);
        QVERIFY2(!error.contains(QStringLiteral("磁盘空间不足")), qPrintable(error));
    }

    void theCopyKeptBeforeARestoreIsNotPrunedByTheSmallerLedgerRestored()
    {
        // A household whose ledger has grown large (a big import) puts back a copy from when it was
        // small. The ledger as it was is kept first, so the restore can be undone; that copy must not be
        // removed by the very next copy because the room is now reckoned from the small ledger.
        TestInstallation install;
        QString error, small;
        {
            auto db = OpenAsideInThisForm();
            Change(*db);
            small = MakeBackup(*db, DataDirectory(), &error);
            QVERIFY2(!small.isEmpty(), qPrintable(error));
            // Past the 64 MB floor.
            db->Execute(QStringLiteral("INSERT INTO Memo (Date, Matter, Member) "
                                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 17000) "
                                       "SELECT '2003-06-01 00:00:00', printf('%.4000d', i), 'Li' FROM n"));
            QCOMPARE(RestoreBackup(*db, DataDirectory(), small, &error), RestoreResult::Restored);
        }
        const QString undo = ListBackups(DataDirectory()).value(0);
        QVERIFY(undo != small);
        QVERIFY(BackupSize(DataDirectory(), undo) > kKeptSizeFloor);
        {
            // The next session: one entry, and the copy at its exit.
            auto db = OpenAsideInThisForm();
            Change(*db);
            QVERIFY2(!MakeBackup(*db, DataDirectory(), &error).isEmpty(), qPrintable(error));
        }
        QVERIFY2(ListBackups(DataDirectory()).contains(undo), qPrintable(ListBackups(DataDirectory()).join(QLatin1Char(' '))));
    }

    void aLedgerThatCannotBeUpgradedIsCopiedOnceNotAtEveryOpening()
    {
        // A ledger of an earlier form whose upgrade fails (as a read-only one does): each attempt to
        // open it copies it before the upgrade, and only the first finds it changed since the newest
        // copy, so the good copies are not pushed out.
        TestInstallation install;
        MessageRecorder messages;
        QVERIFY(RunOnFile(DatabasePath(), "INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES ('2003-01-01 08:00:00', '工资', 100, 'Li', '');"
                                          "CREATE VIEW MoneyMonths AS SELECT 1;"));
        int failures = 0;
        for (int attempt = 0; attempt < 8; ++attempt) {
            try {
                OpenLedgerDatabase();
            } catch (const DbError &) {
                ++failures;
            }
        }
        QCOMPARE(failures, 8);
        QCOMPARE(ListBackups(DataDirectory()).size(), 1);
    }

    void aLedgerOfALaterFormIsToldNotOpenedNorCopied()
    {
        // A later program's ledger (its form above this program's): this program's figures laid over it
        // would take the later ones away. It is told at every opening, and neither changed nor copied.
        TestInstallation install;
        MessageRecorder messages;
        QVERIFY(RunOnFile(DatabasePath(), "INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES ('2003-01-01 08:00:00', '工资', 100, 'Li', '');"
                                          "CREATE TABLE Totals (Name TEXT PRIMARY KEY, Value INTEGER, Later TEXT);"
                                          "PRAGMA user_version = 99;"));
        const QStringList before = CommittedView(DatabasePath()).Rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                OpenLedgerDatabase();
                QFAIL("a ledger of a later form was opened");
            } catch (const DbError &error) {
                QVERIFY2(error.Explanation().contains(QStringLiteral("更新版本")) && error.Explanation().contains(QStringLiteral("格式 99")),
                         qPrintable(error.Message()));
            }
        }
        const CommittedView view(DatabasePath());
        QCOMPARE(view.Rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name")), before);
        QCOMPARE(view.Number(QStringLiteral("PRAGMA user_version")), qint64(99));
        QCOMPARE(ListBackups(DataDirectory()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
