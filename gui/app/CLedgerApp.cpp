// Application start-up and the framework-level error report.
#include "CLedgerApp.h"

#include "app/ChineseLocale.h"
#include "app/CMainDlg.h"
#include "app/DialogCentring.h"
#include "app/ImportRequests.h"
#include "app/Style.h"
#include "common/Paths.h"
#include "db/DbError.h"
#include "db/Installer.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/LedgerBackups.h"
#include "db/LedgerPlace.h"
#include "lists/CServerLoginDlg.h"
#include "db/SqlConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>

CLedgerApp::CLedgerApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zarvel"));
    // The launcher installed with the program: the desktop finds the windows' icon and dock entry by it.
    setDesktopFileName(QStringLiteral("org.zarvel.zarvel"));
    SetMessageSink(&m_messages);
    m_importFile = ImportFileOf(arguments());
}

QString CLedgerApp::ImportFileOf(const QStringList &arguments)
{
    // The launcher passes the file after --import; started from the menu, it passes none.
    const qsizetype at = arguments.indexOf(QStringLiteral("--import"));
    if (at < 0 || at + 1 >= arguments.size() || arguments.at(at + 1).startsWith(QStringLiteral("--")))
        return QString();
    QString file = arguments.at(at + 1);
    if (file.startsWith(QStringLiteral("file://")))
        file = QUrl(file).toLocalFile();
    return QFileInfo(file).absoluteFilePath();
}

CLedgerApp::~CLedgerApp()
{
    SetMessageSink(nullptr);
}

bool CLedgerApp::AnotherCopyRuns(std::unique_ptr<QLockFile> *lock)
{
    const QString dataDir = DataDirectory();
    if (!QDir(dataDir).exists())
        return false;  // nothing to guard; the missing data is reported by the start-up itself
    auto file = std::make_unique<QLockFile>(dataDir + QStringLiteral("/zarvel.lock"));
    file->setStaleLockTime(0);  // a lock left by a crashed copy is recognised by its dead process id
    if (!file->tryLock(0)) {
        if (file->error() == QLockFile::LockFailedError)
            return true;
        return false;  // an unwritable data directory must not keep the user out
    }
    *lock = std::move(file);
    return false;
}

namespace {

// While a large ledger made by an earlier version is brought up to date, a progress bar says why the
// window has not come yet and how far the work is. Told from the thread that upgrades: the bar is
// moved on the interface's own thread.
void ShowUpgradeProgress()
{
    static QPointer<QProgressDialog> bar;
    SetUpgradeProgress([](int done, int total) {
        const auto show = [done, total] {
            if (done >= total) {
                delete bar;
                return;
            }
            if (!bar) {
                bar = new QProgressDialog(QStringLiteral("正在为新版本整理帐目数据库，请稍候……"), QString(), 0, total);
                bar->setWindowTitle(QStringLiteral("Zarvel"));
                bar->setCancelButton(nullptr);  // one transaction: it is whole or not done at all
                bar->setMinimumDuration(0);
                bar->setAutoClose(false);
            }
            bar->setMaximum(total);
            bar->setValue(done);
            bar->show();
        };
        if (QThread::currentThread() == qApp->thread()) {
            show();
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // the work holds this thread
        } else {
            QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
        }
    });
}

} // namespace

void CLedgerApp::Prepare(QApplication *app)
{
    UseChineseLocale(app);
    ApplyLedgerStyle(app);
    CentreDialogsOnTheMainWindow(app);
    ShowUpgradeProgress();
}

QString CLedgerApp::InstalledTemplateDir()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/zarvel-template"));
}

bool CLedgerApp::EnterUserInstallation()
{
    QString error;
    const QString home = LayUserInstallation(InstalledTemplateDir(),
                                             QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), &error);
    if (home.isEmpty() || !QDir::setCurrent(home)) {
        ShowMessage(QStringLiteral("无法建立帐目文件夹：%1").arg(error.isEmpty() ? home : error), QStringLiteral("Zarvel"),
                    MessageIcon::Error);
        return false;
    }
    return true;
}

bool CLedgerApp::SettleLedger()
{
    if (!QDir(DataDirectory()).exists())
        return true;
    QString error;
    const bool settled = SettleBackups(DataDirectory(), &error);
    if (!error.isEmpty())
        ShowMessage(error, QStringLiteral("恢复备份"), MessageIcon::Error);
    return settled;
}

QString CLedgerApp::OpenLedgerAside()
{
    if (!UsesServerLedger() && !QFileInfo::exists(DatabasePath()))
        return QString();  // a missing ledger is told by the window
    QString failure;
    // Copying and upgrading a large ledger of an earlier form takes seconds: done on a thread of its
    // own, while this one shows how far it is and keeps answering.
    QThread *worker = QThread::create([&failure] {
        // Nothing may leave the thread: whatever failed is told by the window, which opens the
        // ledger again.
        try {
            OpenLedgerDatabase();
        } catch (const DbError &error) {
            failure = error.Message();
        } catch (const std::exception &error) {
            failure = QString::fromLocal8Bit(error.what());
        } catch (...) {
            failure = QStringLiteral("帐目数据库没能打开。");
        }
    });
    QEventLoop waiting;
    QObject::connect(worker, &QThread::finished, &waiting, &QEventLoop::quit);
    worker->start();
    waiting.exec();
    worker->wait();
    delete worker;
    QApplication::processEvents();  // the progress it told, the bar closed
    return failure;
}

QString CLedgerApp::KeepCopyOfLedger()
{
    // A server keeps its own copies; a restore left under way was told already (the next start
    // finishes it).
    if (UsesServerLedger() || !QFileInfo::exists(DatabasePath()) || RestoreUnderWay(DataDirectory()))
        return QString();
    QString error;
    try {
        if (!MakeBackup(*OpenLedgerDatabase(), DataDirectory(), &error).isEmpty())
            return QString();
    } catch (const DbError &failure) {
        error = failure.Message();
    }
    return QStringLiteral("退出前没能备份帐目（帐目本身没有受影响）：") + error;
}

int CLedgerApp::InitInstance()
{
    Prepare(this);
    // Copies sharing a server ledger may run side by side; a ledger file has one at a time. Either
    // way the first copy takes the lock and so receives the files handed to the program.
    const bool onServer = ReadLedgerPlace().onServer;
    if (AnotherCopyRuns(&m_lock) && !onServer) {
        // A second copy ends without showing anything; a file it was given goes to the first.
        if (!m_importFile.isEmpty() && !ImportRequests::SendToRunningCopy(m_importFile))
            ShowMessage(QStringLiteral("Zarvel 已经在运行，但没能把文件 %1 交给它。\n请在它的收支列表中右击，选择“导入收支记录…”。")
                            .arg(QDir::toNativeSeparators(m_importFile)),
                        QStringLiteral("Zarvel"));
        return 0;
    }
    ImportRequests requests;
    if (m_lock)
        requests.Listen();  // without it, a later start is told it could not hand its file over
    // A copy just closed may still be keeping its copy of the ledger: it is let finish first.
    constexpr int kWaitForExitCopyMs = 120000;
    if (!WaitForExitCopy(kWaitForExitCopyMs)) {
        ShowMessage(QStringLiteral("上次退出时的帐目备份还没有完成，请稍后再启动 Zarvel。"), QStringLiteral("Zarvel"));
        return 0;
    }
    if (!SettleLedger())
        return 1;
    if (onServer && !CServerLoginDlg::EnterServerLedger(ReadLedgerPlace().server))
        return 0;
    // A ledger that cannot be opened is told by the window, which opens with what it has.
    OpenLedgerAside();
    {
        CMainDlg dialog;
        if (!dialog.IsEnded()) {  // a cancelled login ends the program without showing anything
            // What came due since the last start first, then the file the program was asked to import.
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.OfferDueRecords(QDate::currentDate()); });
            if (!m_importFile.isEmpty())
                QTimer::singleShot(0, &dialog, [&dialog, file = m_importFile] { dialog.OpenImportOf(file); });
            requests.Deliver([&dialog](const QString &file) { dialog.OpenImportOf(file); });
            dialog.exec();
            requests.Deliver({});
        }
    }
    // The window is gone before the ledger is copied: a large ledger takes a while, and the household
    // has nothing to wait for. The copy holds a lock of its own, and the program's is let go, so a start
    // meanwhile is not taken for a second copy: it waits for the copy, then opens the ledger.
    processEvents();
    QLockFile copying(ExitCopyLockPath());
    copying.setStaleLockTime(0);
    copying.tryLock(0);
    m_lock.reset();
    const QString failure = KeepCopyOfLedger();
    copying.unlock();  // told after the copy is let go: a start meanwhile does not wait on the message
    if (!failure.isEmpty())
        ShowMessage(failure, QStringLiteral("备份"), MessageIcon::Error);
    return 0;
}

QString CLedgerApp::ExitCopyLockPath()
{
    return DataDirectory() + QStringLiteral("/zarvel-copy.lock");
}

bool CLedgerApp::WaitForExitCopy(int waitMs)
{
    if (!QDir(DataDirectory()).exists())
        return true;
    QLockFile copying(ExitCopyLockPath());
    copying.setStaleLockTime(0);  // left by a copy that crashed: not waited for
    return copying.tryLock(waitMs) || copying.error() != QLockFile::LockFailedError;
}

bool CLedgerApp::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
    } catch (const std::exception &error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), QStringLiteral("错误"), MessageIcon::Error);
    }
    return false;
}
