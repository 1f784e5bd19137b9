// 财产: the assets, their find window; the status line gives their total cost and value.
#pragma once

#include "db/CArticleBook.h"
#include "panels/CLedgerPanel.h"

class CArticlePanel : public CLedgerPanel
{
public:
    CArticlePanel(CArticleBook &book, QWidget *window, const Controls &controls);

    void FillBook() override;

private:
    CArticleBook &m_book;
};
