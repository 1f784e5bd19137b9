// 查找: the one modeless search over the fixed-term, demand-savings, memo, address, credit and
// insurance lists. The list shown when it opens decides what it searches; one exists at a time
// (its panel's), and it goes when cancelled or when its panel is left.
#pragma once

#include "dialogs/CFindWindow.h"

class CFindDlg : public CColumnFindWindow
{
    Q_OBJECT
public:
    enum class Mode { Deposit, Current, Memo, Address, Credit, Insure };

    explicit CFindDlg(CMainDlg *owner);
    Mode GetMode() const { return m_mode; }

protected:
    void AfterStep() override;

private:
    CFindDlg(CMainDlg *owner, Mode mode);
    Mode m_mode;
};
