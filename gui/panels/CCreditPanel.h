// 借贷 of the memo group: money lent and borrowed, and its find window; the status line gives the
// balance of what is owed either way.
#pragma once

#include "db/CCreditBook.h"
#include "panels/CLedgerPanel.h"

class CCreditPanel : public CLedgerPanel
{
public:
    CCreditPanel(CCreditBook &book, QWidget *window, const Controls &controls);

    void FillBook() override;

private:
    CCreditBook &m_book;
};
