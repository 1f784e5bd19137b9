// 通讯 of the memo group: the address book and its find window.
#pragma once

#include "db/CAddressBook.h"
#include "panels/CLedgerPanel.h"

class CAddressPanel : public CLedgerPanel
{
public:
    CAddressPanel(CAddressBook &book, QWidget *window, const Controls &controls);

    void FillBook() override;

private:
    CAddressBook &m_book;
};
