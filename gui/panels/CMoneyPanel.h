// 收支: the income and expense records a page at a time, their filter, their find window and the
// import of a bill; the status line gives the cash total.
#pragma once

#include "db/CMoneyBook.h"
#include "panels/CLedgerPanel.h"

class CMoneyPanel : public CLedgerPanel
{
public:
    CMoneyPanel(CMoneyBook &book, QWidget *window, const Controls &controls);

    void FillBook() override;
    void ReadBookAgain() override;

    // The status line, the page line and selector, and the page buttons.
    void Refresh() override;
    // 导入收支记录… of the list's menu: a file chosen, then the import dialog on it.
    // 导入收支记录…: on the file given, or on one the household chooses.
    void OpenImport(const QString &file = QString());

private:
    void ShowPage(int page);

    CMoneyBook &m_book;
};
