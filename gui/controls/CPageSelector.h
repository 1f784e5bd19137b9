// The page selector of the income/expense list: the entries "1" ... page count ("0" alone for an
// empty list), made when shown rather than stored, so that a ledger of twenty thousand pages costs
// no more to list, refresh or open than one of a single page.
#pragma once

#include "controls/CTintedComboBox.h"

class PageListModel;

class CPageSelector : public CTintedComboBox
{
    Q_OBJECT
public:
    explicit CPageSelector(QWidget *parent = nullptr);

    // The entries for the page count, with the current page's entry selected; disabled at no pages.
    void SetPages(int pageCount, int currentPage);
    int PageCount() const;

private:
    PageListModel *m_pages;
};
