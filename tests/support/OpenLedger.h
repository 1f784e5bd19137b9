// A fresh installation with its main window open and shown: quiet, every message recorded, and the
// members given (name, password pairs) in place of the installed ones. One per test function.
#pragma once

#include "app/CMainDlg.h"
#include "controls/CCalcPad.h"
#include "lists/ReferenceLists.h"

#include "DialogDriving.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

struct OpenLedger
{
    explicit OpenLedger(const QStringList &members = {})
    {
        if (!members.isEmpty())
            g_memberList = members;
        window.show();
    }
    ~OpenLedger() { CCalcPad::CloseOpen(); }

    TestInstallation install;
    MessageRecorder messages;
    CMainDlg window{Quiet()};
};
