// 保险: the insurance activities, new policies and the list of policies, their find window; the status
// line gives the premiums paid.
#pragma once

#include "db/CInsureBook.h"
#include "panels/CLedgerPanel.h"

class CInsurePanel : public CLedgerPanel
{
public:
    CInsurePanel(CInsureBook &book, QWidget *window, const Controls &controls);

    void FillBook() override;

private:
    CInsureBook &m_book;
};
