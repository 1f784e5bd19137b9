// The connection to the ledger file: a file that is not a ledger is let go again, failures are told in
// Chinese with the technical detail second, and a transaction whose COMMIT fails is ended.
#include "db/CMemoBook.h"
#include "db/CMemoRecord.h"
#include "db/CMoneyRecord.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"

#include "CommittedView.h"
#include "DeferredGuard.h"
#include "TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sqlite3.h>
#include <unistd.h>

namespace {

int OpenDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                   .size());
}

// Puts a file that is not a ledger where the ledger's database belongs.
void ReplaceWithNotALedger(const QString &path, const QString &kind)
{
    QFile::remove(path);
    if (kind == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("这不是帐目数据库。\nnot a database\n");
        return;
    }
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "CREATE TABLE Other (x); INSERT INTO Other VALUES (1);", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

void AddMoney(CMoneyRecord &set, double money)
{
    set.AddNew();
    set.m_Date = LedgerDateTime(QDate(2003, 2, 1));
    set.m_Money = money;
    set.Update();
}

bool HasChinese(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

// Puts the folder's permissions back however the test ends, so the temporary installation can go.
struct PermissionsBack
{
    explicit PermissionsBack(const QString &path) : m_path(path), m_permissions(QFile::permissions(path)) {}
    ~PermissionsBack() { QFile::setPermissions(m_path, m_permissions); }
    QString m_path;
    QFileDevice::Permissions m_permissions;
};

} // namespace

class TestSqlConnection : public QObject
{
    Q_OBJECT
private slots:
    void notALedgerIsLetGoAgain_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a text file") << "text";
        QTest::newRow("a database without the Money table") << "other";
    }
    void notALedgerIsLetGoAgain()
    {
        QFETCH(QString, kind);
        TestInstallation install;
        ReplaceWithNotALedger(install.DataFile("Kinward.db"), kind);
        auto refused = [] {
            CMoneyRecord set;
            try {
                set.Open();
            } catch (const DbError &) {
                return !set.IsOpen();
            }
            return false;
        };
        QVERIFY(refused());  // anything opened once for the process is open now
        const int before = OpenDescriptors();
        for (int i = 0; i < 100; ++i)
            QVERIFY(refused());
        QCOMPARE(OpenDescriptors(), before);
    }

    void failuresAreToldInChineseWithoutTheSql_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("explained");  // what the first line says
        QTest::newRow("a text file") << "text" << "不是 Zarvel 的帐目数据库";
        // Not read as the text "Matter" in every record, as a quoted name that is no column would be.
        QTest::newRow("a table without a column") << "column" << "缺少程序需要的表或列";
        QTest::newRow("a missing table") << "table" << "缺少程序需要的表或列";
    }
    void failuresAreToldInChineseWithoutTheSql()
    {
        QFETCH(QString, damage);
        QFETCH(QString, explained);
        TestInstallation install;
        const QString path = install.DataFile("Kinward.db");
        if (damage == QLatin1String("text")) {
            ReplaceWithNotALedger(path, damage);
        } else {
            auto db = OpenLedgerDatabase(path);
            db->Execute(damage == QLatin1String("column") ? QStringLiteral("ALTER TABLE Memo DROP COLUMN Matter")
                                                          : QStringLiteral("DROP TABLE Memo"));
        }
        CMemoRecord set;
        try {
            set.Open();
            QFAIL("opening a damaged ledger must fail");
        } catch (const DbError &error) {
            const QStringList lines = error.Message().split(QLatin1Char('\n'));
            QCOMPARE(lines.size(), 2);
            QVERIFY2(lines.at(0).contains(explained), qPrintable(lines.at(0)));
            QVERIFY2(HasChinese(lines.at(0)), qPrintable(lines.at(0)));
            QVERIFY2(lines.at(0).contains(QStringLiteral("Kinward.db")), qPrintable(lines.at(0)));
            QCOMPARE(lines.at(1), error.Detail());
            for (const char *sql : {"SELECT", "PRAGMA", "FROM", "WHERE", "ORDER BY", "ifnull"})
                QVERIFY2(!error.Message().contains(QLatin1String(sql), Qt::CaseInsensitive), qPrintable(error.Message()));
        }
        QVERIFY(!set.IsOpen());
    }

    void readOnlyDataFolderIsNamed()
    {
        if (geteuid() == 0)
            QSKIP("root writes whatever the permissions say");
        TestInstallation install;
        const QString folder = install.Path() + QStringLiteral("/Data");
        PermissionsBack back(folder);
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                  | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));
        try {
            CMemoBook memos;
            memos.Fill(QStringLiteral("Date"));
            memos.Add(QStringLiteral("2003-05-01"), QStringLiteral("x"), QStringLiteral("Li"));
            QFAIL("a ledger in a folder that cannot be written must not look saved");
        } catch (const DbError &error) {
            const QString first = error.Message().section(QLatin1Char('\n'), 0, 0);
            QVERIFY2(first.contains(QStringLiteral("不能写入")), qPrintable(error.Message()));
            QVERIFY2(first.contains(QDir::toNativeSeparators(folder)), qPrintable(error.Message()));
        }
    }

    // Records written before the program kept its figures (or under an older form of them) are counted
    // and summed at the first open, and followed from then on.
    void keptFiguresAreLaidFromTheRecordsAtTheFirstOpen_data()
    {
        QTest::addColumn<bool>("olderFigures");
        QTest::newRow("no kept figures") << false;
        QTest::newRow("older figures in yuan, out of date") << true;
    }
    void keptFiguresAreLaidFromTheRecordsAtTheFirstOpen()
    {
        QFETCH(bool, olderFigures);
        TestInstallation install;
        const QString path = install.DataFile("Kinward.db");
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw,
                              "INSERT INTO Money (Date, Money) VALUES ('2003-01-01 00:00:00', 0.1), ('2003-01-02 00:00:00', 0.7),"
                              " ('2003-01-03 00:00:00', -0.3);"
                              "INSERT INTO Current (MKind, Money) VALUES ('人民币', 12.34), ('美元', 99);",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        if (olderFigures) {
            QCOMPARE(sqlite3_exec(raw,
                                  "CREATE TABLE Totals (Name TEXT PRIMARY KEY, Value DOUBLE NOT NULL DEFAULT 0);"
                                  "INSERT INTO Totals VALUES ('Money|count|', 7), ('Money|Money|', 123.45);",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
        }
        sqlite3_close(raw);

        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        QCOMPARE(set.GetRecordCount(), 3L);
        QCOMPARE(set.SumCents(QStringLiteral("Money")), Q_INT64_C(50));
        AddMoney(set, -0.5);
        CommittedView committed(path);
        QCOMPARE(committed.Rows(QStringLiteral("SELECT Name, Value FROM Totals WHERE Name IN "
                                               "('Money|count|', 'Money|Money|', 'Current|Money|MKind=''人民币''') ORDER BY Name")),
                 QStringList({"Current|Money|MKind='人民币'|1234", "Money|Money||0", "Money|count||4"}));
    }

    void failedCommitEndsTheTransaction()
    {
        TestInstallation install;
        auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
        LayDeferredGuard(*db);
        {
            SqlTransaction transaction(*db);
            db->Execute(QStringLiteral("INSERT INTO Memo (Matter) VALUES ('lost')"));
            db->Execute(QStringLiteral("INSERT INTO Guard VALUES (1)"));
            QVERIFY_THROWS_EXCEPTION(DbError, transaction.Commit());
        }
        {
            SqlTransaction transaction(*db);  // a new transaction can begin: the failed one is over
            db->Execute(QStringLiteral("INSERT INTO Memo (Matter) VALUES ('kept')"));
            transaction.Commit();
        }
        CommittedView committed(install.DataFile("Kinward.db"));
        QCOMPARE(committed.Rows(QStringLiteral("SELECT Matter FROM Memo")), QStringList({"kept"}));
        QCOMPARE(committed.Number(QStringLiteral("SELECT count(*) FROM Guard")), 0);
    }
};

QTEST_GUILESS_MAIN(TestSqlConnection)
#include "tst_sqlconnection.moc"
