// The memo panel's buttons.
#include "CMemoPanel.h"

#include "dialogs/CFindDlg.h"
#include "dialogs/CMemoDlg.h"
#include "panels/Actions.h"

using namespace Action;

CMemoPanel::CMemoPanel(CMemoBook &book, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1114, {DeleteMemo, ModifyMemo}, {AddMemo, FindMemo}),
      m_book(book)
{
    OnEntryButtons<CMemoDlg>(book, AddMemo, ModifyMemo);
    SetDoubleClickButton(ModifyMemo);
    OnButton(DeleteMemo, [&book] { book.Remove(); });
    OnFindButton(FindMemo, [this, &book] { return new CFindDlg(book, CFindDlg::Mode::Memo, Window()); });
}

void CMemoPanel::FillBook()
{
    m_book.Fill(QStringLiteral("Date"));
}
