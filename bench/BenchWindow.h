// What the window benchmarks share: their start (offscreen, on the bench ledger), a main window
// without its splash, and messages answered yes without a box, so a measured step never waits.
#pragma once

#include "BenchSupport.h"

#include "app/CLedgerApp.h"
#include "app/CMainDlg.h"
#include "common/Messages.h"

#include <QApplication>
#include <functional>

inline CMainDlg::Options QuietWindow()
{
    CMainDlg::Options options;
    options.showSplash = false;
    return options;
}

class SilentMessages : public IMessageSink
{
public:
    SilentMessages() { SetMessageSink(this); }
    ~SilentMessages() override { SetMessageSink(nullptr); }
    void Inform(const QString &, const QString &, MessageIcon) override {}
    bool Ask(const QString &, const QString &) override { return true; }
};

// Runs the benchmarks offscreen on the bench ledger (the current directory), each beside its floor
// where it has one. registerBenchmarks gets the ledger's folder; false stops before any is run.
inline int RunWindowBenchmarks(int argc, char **argv, const std::function<bool(const QString &ledger)> &registerBenchmarks)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietPlatform);
    QApplication app(argc, argv);
    CLedgerApp::Prepare(&app);
    const QString ledger = OpenBenchLedger();
    if (ledger.isEmpty() || !registerBenchmarks(ledger))
        return 1;
    benchmark::Initialize(&argc, argv);
    PairingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
