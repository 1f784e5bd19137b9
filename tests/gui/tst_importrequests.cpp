// A bill opened with Zarvel from the desktop: the file named on the command line, handed to the copy
// already running, and opened there in the import dialog.
#include "app/CLedgerApp.h"
#include "app/ImportRequests.h"
#include "dialogs/CImportDlg.h"
#include "transfer/Csv.h"

#include "FileBytes.h"
#include "OpenLedger.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

// Sends from a thread of its own, as the second copy of the program would from its process.
bool SendAside(const QString &file)
{
    bool sent = false;
    QThread *sender = QThread::create([&] { sent = ImportRequests::SendToRunningCopy(file); });
    sender->start();
    while (!sender->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    sender->wait();
    delete sender;
    return sent;
}

} // namespace

class TestImportRequests : public QObject
{
    Q_OBJECT
private slots:
    void theFileNamedOnTheCommandLine()
    {
        const QString here = QDir::currentPath();
        QCOMPARE(CLedgerApp::ImportFileOf({"zarvel", "--home", "--import", "账单.csv"}), here + QStringLiteral("/账单.csv"));
        QCOMPARE(CLedgerApp::ImportFileOf({"zarvel", "--import", "file:///tmp/a%20b.xlsx"}), QStringLiteral("/tmp/a b.xlsx"));
        // The launcher started from the menu passes --import alone.
        QCOMPARE(CLedgerApp::ImportFileOf({"zarvel", "--home", "--import"}), QString());
        QCOMPARE(CLedgerApp::ImportFileOf({"zarvel", "--import", "--home"}), QString());
        QCOMPARE(CLedgerApp::ImportFileOf({"zarvel", "--home"}), QString());
    }

    void aFileHandedToTheRunningCopyIsOpenedInItsImport()
    {
        OpenLedger ledger;
        // No copy runs: nothing takes the file.
        QVERIFY(!ImportRequests::SendToRunningCopy(QStringLiteral("/tmp/none.csv"), 500));

        QTemporaryDir folder;
        const QString bill = folder.filePath(QStringLiteral("账单 三月.csv"));
        QByteArray bytes;
        QVERIFY(WriteCsv({{"日期", "收支项目", "金额"}, {"2026-03-01", "餐饮", "-12"}}, CsvEncoding::Utf8WithBom, &bytes));
        WriteBytes(bill, bytes);

        ImportRequests requests;
        QVERIFY(requests.Listen());
        // A request that comes during the login waits for the window.
        QVERIFY(SendAside(bill));
        QStringList shown;
        QTimer::singleShot(0, &ledger.window, [&] {
            // The import dialog opens over the window on the file: seen and closed.
            QTimer::singleShot(200, [&] {
                for (QWidget *top : QApplication::topLevelWidgets()) {
                    if (auto *dialog = qobject_cast<CImportDlg *>(top); dialog && dialog->isVisible()) {
                        dialog->WaitForReading();
                        shown << dialog->ShownFile() + QStringLiteral("|%1").arg(dialog->Plan() ? dialog->Plan()->RowCount() : -1);
                        dialog->reject();
                    }
                }
            });
        });
        requests.Deliver([&](const QString &file) { ledger.window.OpenImportOf(file); });
        QTRY_COMPARE(shown, QStringList{QDir::toNativeSeparators(bill) + QStringLiteral("|1")});
        QVERIFY(!ledger.window.Control(1004)->isHidden());  // over the income and expense list

        // A second copy of the program on the same installation is refused its own socket.
        ImportRequests second;
        QVERIFY(!second.Listen());
    }

    void eachRequestArrivesWholeAndInTurn()
    {
        TestInstallation install;
        QTemporaryDir folder;
        ImportRequests requests;
        QVERIFY(requests.Listen());
        QStringList delivered;
        requests.Deliver([&](const QString &file) { delivered << file; });
        // A name may hold a line break: the file asked for arrives whole, not a file of its first line.
        const QString broken = folder.filePath(QStringLiteral("账单\n三月.csv"));
        const QString plain = folder.filePath(QStringLiteral("账单"));
        QVERIFY(SendAside(broken));
        QVERIFY(SendAside(plain));
        QTRY_COMPARE(delivered, (QStringList{broken, plain}));
    }

    void aFileAskedForWhileAnImportIsOpenWaitsForIt()
    {
        OpenLedger ledger;
        QTemporaryDir folder;
        QStringList bills;
        for (const char *name : {"三月.csv", "四月.csv"}) {
            QByteArray bytes;
            QVERIFY(WriteCsv({{"日期", "收支项目", "金额"}, {"2026-03-01", "餐饮", "-12"}}, CsvEncoding::Utf8WithBom, &bytes));
            bills << folder.filePath(QString::fromUtf8(name));
            WriteBytes(bills.last(), bytes);
        }
        // The same bill opened twice from the desktop, or a second one while the first is still being
        // looked at: never two import dialogs over each other, each to write what the other cannot see.
        int mostOpen = 0;
        QStringList shown;
        QTimer watch;
        watch.setInterval(30);
        connect(&watch, &QTimer::timeout, &ledger.window, [&] {
            QList<CImportDlg *> open;
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<CImportDlg *>(top); dialog && dialog->isVisible())
                    open << dialog;
            }
            mostOpen = std::max(mostOpen, int(open.size()));
            for (CImportDlg *dialog : open) {
                if (dialog->property("seen").toBool())
                    continue;
                dialog->setProperty("seen", true);
                dialog->WaitForReading();
                shown << dialog->ShownFile();
                if (shown.size() == 1) {
                    QTimer::singleShot(0, &ledger.window, [&] { ledger.window.OpenImportOf(bills.at(1)); });
                    QTimer::singleShot(300, dialog, &QDialog::reject);
                } else {
                    QTimer::singleShot(0, dialog, &QDialog::reject);
                }
            }
        });
        watch.start();
        QTimer::singleShot(0, &ledger.window, [&] { ledger.window.OpenImportOf(bills.at(0)); });
        QTRY_COMPARE(shown.size(), 2);
        QCOMPARE(shown, (QStringList{QDir::toNativeSeparators(bills.at(0)), QDir::toNativeSeparators(bills.at(1))}));
        QCOMPARE(mostOpen, 1);
    }
};

QTEST_MAIN(TestImportRequests)
#include "tst_importrequests.moc"
