// The application object: one copy per installation, the ledger's colours, and the report of
// database errors that end the action in progress.
#pragma once

#include "app/QtMessageSink.h"

#include <QApplication>
#include <QLockFile>
#include <memory>

class CLedgerApp : public QApplication
{
    Q_OBJECT
public:
    CLedgerApp(int &argc, char **argv);
    ~CLedgerApp() override;

    // Starts the ledger in the current directory; returns the process exit code.
    int InitInstance();

    // Lays the user's installation from the template installed beside the program, the first time,
    // and makes it the current directory. False (and said) when it cannot be laid.
    bool EnterUserInstallation();
    // The template installed with the program: <prefix>/share/zarvel-template beside <prefix>/bin, apart
    // from the user's ledger (<data folder>/zarvel), which a per-user install puts below the same share/.
    static QString InstalledTemplateDir();

    // What every start does before the first window: the Chinese locale and Qt's translations, the
    // ledger's style, dialogs centred on the main window.
    static void Prepare(QApplication *app);

    // A database error that ended a user action reaches the user here.
    bool notify(QObject *receiver, QEvent *event) override;

    // The file named by --import, made absolute as the program was started (before --home moves into
    // the user's ledger); empty when none.
    QString ImportFile() const { return m_importFile; }
    static QString ImportFileOf(const QStringList &arguments);

    // Whether another copy of the program runs on this installation.
    static bool AnotherCopyRuns(std::unique_ptr<QLockFile> *lock);
    // Waits (at most the time given) for a copy of the program that has closed its window to finish
    // keeping its copy of the ledger. False when it had not finished in time.
    static bool WaitForExitCopy(int waitMs);
    static QString ExitCopyLockPath();

    // Before the ledger is opened: a restore interrupted by a crash is finished or dropped, and copies
    // never finished are removed. False (and told) when the ledger must not be opened.
    static bool SettleLedger();
    // Opens the ledger on a thread of its own, bringing a ledger of an earlier form up to date (copied
    // first) while this thread keeps answering and shows the progress. The failure, or an empty text.
    static QString OpenLedgerAside();
    // After the window is gone: a copy of the ledger as it is left, when it changed since the newest.
    // What to tell when it could not be made, or an empty text.
    static QString KeepCopyOfLedger();

private:
    QtMessageSink m_messages;
    std::unique_ptr<QLockFile> m_lock;
    QString m_importFile;
};
