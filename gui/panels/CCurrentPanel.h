// 活期储蓄: the demand-savings records, their find window and the balances by account; the status
// line gives their total.
#pragma once

#include "db/CCurrentBook.h"
#include "panels/CLedgerPanel.h"

class CCurrentPanel : public CLedgerPanel
{
public:
    CCurrentPanel(CCurrentBook &book, QWidget *window, const Controls &controls);

    void FillBook() override;

private:
    CCurrentBook &m_book;
};
