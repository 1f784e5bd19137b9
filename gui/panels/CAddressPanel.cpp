// The address book panel's buttons.
#include "CAddressPanel.h"

#include "dialogs/CAddressDlg.h"
#include "dialogs/CFindDlg.h"
#include "panels/Actions.h"

using namespace Action;

CAddressPanel::CAddressPanel(CAddressBook &book, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1115, {DeleteAddress, ModifyAddress}, {AddAddress, FindAddress}),
      m_book(book)
{
    OnEntryButtons<CAddressDlg>(book, AddAddress, ModifyAddress);
    SetDoubleClickButton(ModifyAddress);
    OnButton(DeleteAddress, [&book] { book.Remove(); });
    OnFindButton(FindAddress, [this, &book] { return new CFindDlg(book, CFindDlg::Mode::Address, Window()); });
}

void CAddressPanel::FillBook()
{
    m_book.Fill(QStringLiteral("Name"));
}
