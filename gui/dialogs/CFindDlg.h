// 查找: the one modeless search over the fixed-term, demand-savings, memo, address, credit and
// insurance lists, made for one of them (its caption and columns); one exists at a time (its panel's),
// and it goes when cancelled or when its panel is left.
#pragma once

#include "dialogs/CFindWindow.h"

class CFindDlg : public CColumnFindWindow
{
    Q_OBJECT
public:
    enum class Mode { Deposit, Current, Memo, Address, Credit, Insure };

    CFindDlg(CBook &book, Mode mode, QWidget *parent = nullptr);
    Mode GetMode() const { return m_mode; }

private:
    Mode m_mode;
};
