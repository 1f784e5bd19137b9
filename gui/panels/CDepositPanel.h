// 定期储蓄: the fixed-term deposits; 续存零整 only for a 零存整取 plan and 转入现金 only for one in the
// home currency; the status line gives the total deposited and due.
#pragma once

#include "db/CDepositBook.h"
#include "db/CMoneyBook.h"
#include "panels/CLedgerPanel.h"

class CDepositPanel : public CLedgerPanel
{
public:
    // A transfer to cash adds to the income and expense book.
    CDepositPanel(CDepositBook &book, CMoneyBook &money, QWidget *window, const Controls &controls);

    void FillBook() override;

    void Refresh() override;

private:
    CDepositBook &m_book;
};
