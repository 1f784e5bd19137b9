// 备忘 of the memo group: the dated memos and their find window.
#pragma once

#include "db/CMemoBook.h"
#include "panels/CLedgerPanel.h"

class CMemoPanel : public CLedgerPanel
{
public:
    CMemoPanel(CMemoBook &book, QWidget *window, const Controls &controls);

    void FillBook() override;

private:
    CMemoBook &m_book;
};
