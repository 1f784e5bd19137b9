// What the window benchmarks share: a main window without its splash, and messages answered yes
// without a box, so a measured step never waits for a click.
#pragma once

#include "app/CMainDlg.h"
#include "common/Messages.h"

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
