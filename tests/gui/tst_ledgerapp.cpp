// The application object: a database error thrown by a user action is reported, and the program goes on.
#include "app/CLedgerApp.h"
#include "app/CMainDlg.h"
#include "common/Paths.h"
#include "db/DbError.h"
#include "db/Installer.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/LedgerBackups.h"
#include "db/SqliteConnection.h"

#include "DialogDriving.h"
#include "FileBytes.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLockFile>
#include <QSysInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <sqlite3.h>

class TestLedgerApp : public QObject
{
    Q_OBJECT
private slots:
    void databaseErrorOfAnActionIsReported()
    {
        MessageRecorder messages;
        QPushButton button;
        int pressed = 0;
        connect(&button, &QPushButton::clicked, [&] {
            ++pressed;
            throw DbError(QStringLiteral("数据库错误：disk I/O error"));
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(messages.Texts(), QStringList({"数据库错误：disk I/O error"}));
        QCOMPARE(messages.messages.first().caption, QStringLiteral("数据库错误"));
        QTest::mouseClick(&button, Qt::LeftButton);  // the program goes on
        QCOMPARE(pressed, 2);
    }

    void anOlderLedgerIsBroughtUpToDateWhileTheInterfaceAnswers()
    {
        // A large ledger of an earlier form (its records reach far up) is copied and upgraded on a
        // thread of its own: the interface's thread goes on answering and is told how far it is.
        TestInstallation install;
        MessageRecorder messages;
        {
            sqlite3 *raw = nullptr;
            QCOMPARE(sqlite3_open(install.DataFile("Kinward.db").toUtf8().constData(), &raw), SQLITE_OK);
            QCOMPARE(sqlite3_exec(raw, "INSERT INTO Money (ID, Date, Item, Money, Member, Explain) "
                                       "VALUES (60000, '2003-01-01 08:00:00', '工资', 100, 'Li', '')",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(raw);
        }
        QList<int> told;
        bool toldAside = true;
        SetUpgradeProgress([&](int done, int) {
            told << done;
            toldAside = toldAside && QThread::currentThread() != qApp->thread();
        });
        SetBackupStepHook([](const QString &) { QThread::msleep(30); });  // a copy that takes a while
        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(5);
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start();
        QCOMPARE(CLedgerApp::OpenLedgerAside(), QString());
        ticker.stop();
        SetBackupStepHook({});
        SetUpgradeProgress({});
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QVERIFY(!told.isEmpty() && told.first() == 0);
        QVERIFY(toldAside);
        QVERIFY(KeptFiguresCurrent(*OpenLedgerDatabase()));
        QCOMPARE(ListBackups(DataDirectory()).size(), 1);  // copied before its form changed
        QVERIFY(messages.messages.isEmpty());
    }

    void secondCopyIsRecognised()
    {
        TestInstallation install;
        std::unique_ptr<QLockFile> first;
        QVERIFY(!CLedgerApp::AnotherCopyRuns(&first));
        QVERIFY(first);
        std::unique_ptr<QLockFile> second;
        QVERIFY(CLedgerApp::AnotherCopyRuns(&second));
        first.reset();  // the first copy ended
        QVERIFY(!CLedgerApp::AnotherCopyRuns(&second));
        second.reset();

        // A lock left by a copy that crashed (its process is gone) does not keep the user out.
        QFile stale(install.DataFile("zarvel.lock"));
        QVERIFY(stale.open(QIODevice::WriteOnly | QIODevice::Truncate));
        stale.write("999999\nzarvel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        std::unique_ptr<QLockFile> after;
        QVERIFY(!CLedgerApp::AnotherCopyRuns(&after));
        QVERIFY(after);
    }

    void theLedgerIsCopiedAfterTheWindowIsGoneAndOnlyWhenChanged()
    {
        TestInstallation install;
        MessageRecorder messages;
        {
            CMainDlg window{Quiet()};
            window.show();
            window.m_memoBook.Add(QStringLiteral("2003-05-01"), QStringLiteral("留着"), QStringLiteral("Li"));
            messages.answer = true;
            window.close();  // 是 to "确定退出系统吗?"
            QVERIFY(!window.isVisible());
            QCOMPARE(ListBackups(DataDirectory()).size(), 0);  // the window did not wait for a copy
        }
        QCOMPARE(CLedgerApp::KeepCopyOfLedger(), QString());
        QCOMPARE(ListBackups(DataDirectory()).size(), 1);
        QCOMPARE(CLedgerApp::KeepCopyOfLedger(), QString());  // nothing changed since: no second copy
        QCOMPARE(ListBackups(DataDirectory()).size(), 1);
        QCOMPARE(messages.Texts(), QStringList({"确定退出系统吗?"}));
    }

    void aRestoreThatCannotBeFinishedIsDroppedOrKeepsTheLedgerClosed()
    {
        // A restore marked under way whose copy is gone: its database was never put back, so the
        // ledger is whole as it was; the restore is dropped, told, and the ledger opens.
        TestInstallation install;
        MessageRecorder messages;
        QVERIFY(CLedgerApp::SettleLedger());
        QVERIFY(messages.Texts().isEmpty());
        OpenLedgerDatabase();  // the ledger in this program's form, with its change mark
        const auto mark = SqliteConnection::QueryNumber(DatabasePath(), QStringLiteral("SELECT Mark FROM LedgerMark"));
        QVERIFY(mark);
        QVERIFY(QDir().mkpath(DataFilePath(QStringLiteral(".restore"))));
        WriteBytes(DataFilePath(QStringLiteral(".restore/ready")), "2003-01-01_00-00-00\n" + QByteArray::number(*mark));
        QVERIFY(CLedgerApp::SettleLedger());
        QVERIFY(messages.Last().contains(QStringLiteral("帐目保持恢复前的样子")));
        QVERIFY(!RestoreUnderWay(DataDirectory()));

        // Its database put back and a list that cannot be (a folder in its place): half of each, so
        // the ledger is not opened, and the next start tries again.
        QVERIFY(QDir().mkpath(DataFilePath(QStringLiteral(".restore"))));
        QVERIFY(QFile::copy(DatabasePath(), DataFilePath(QStringLiteral(".restore/Kinward.db"))));
        WriteBytes(DataFilePath(QStringLiteral(".restore/Bank.kwl")), "restored#");
        WriteBytes(DataFilePath(QStringLiteral(".restore/ready")), "2003-01-01_00-00-00");
        QVERIFY(QFile::remove(DataFilePath(QStringLiteral("Bank.kwl"))));
        QVERIFY(QDir().mkdir(DataFilePath(QStringLiteral("Bank.kwl"))));
        QVERIFY(!CLedgerApp::SettleLedger());
        QVERIFY(messages.Last().contains(QStringLiteral("请腾出磁盘空间后重新启动")));
        QVERIFY(RestoreUnderWay(DataDirectory()));
        QVERIFY(QDir().rmdir(DataFilePath(QStringLiteral("Bank.kwl"))));
        QVERIFY(CLedgerApp::SettleLedger());
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Bank.kwl"))), QByteArray("restored#"));
    }

    void aStartWaitsForTheCopyOfAProgramJustClosed()
    {
        // The program closed keeps its copy of the ledger under a lock of its own, having let go of the
        // program's: a start meanwhile is not a second copy, and waits for the copy before it opens.
        TestInstallation install;
        QLockFile copying(CLedgerApp::ExitCopyLockPath());
        QVERIFY(copying.tryLock(0));
        std::unique_ptr<QLockFile> program;
        QVERIFY(!CLedgerApp::AnotherCopyRuns(&program));
        QVERIFY(!CLedgerApp::WaitForExitCopy(50));
        copying.unlock();
        QVERIFY(CLedgerApp::WaitForExitCopy(50));
    }

    // The desktop ties the program's windows to the launcher it installs (its icon, its place in the
    // dock) by the launcher's name, which the program gives as its own.
    void theProgramNamesItsLauncher()
    {
        const QString name = QGuiApplication::desktopFileName();
        QVERIFY(!name.isEmpty());
        QVERIFY(QFile::exists(QStringLiteral(ZARVEL_TEMPLATE_DIR "/../desktop/") + name + QStringLiteral(".desktop")));
    }

    // Started with --home from the build tree, the program finds the template where it finds it once
    // installed, beside its folder, and lays the user's ledger.
    void userLedgerLaidFromTheBuildTree()
    {
        QTemporaryDir home;
        QString error;
        const QString laid = LayUserInstallation(CLedgerApp::InstalledTemplateDir(), home.path(), &error);
        QVERIFY2(!laid.isEmpty(), qPrintable(error));
        QVERIFY(QFile::exists(laid + QStringLiteral("/Data/Kinward.db")));
        QVERIFY(QFile::exists(laid + QStringLiteral("/Data/Item.kwl")));
    }
};

int main(int argc, char **argv)
{
    CLedgerApp app(argc, argv);
    TestLedgerApp test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ledgerapp.moc"
