// The lending panel's buttons.
#include "CCreditPanel.h"

#include "common/Amount.h"
#include "dialogs/CCreditDlg.h"
#include "dialogs/CFindDlg.h"
#include "panels/Actions.h"

using namespace Action;

CCreditPanel::CCreditPanel(CCreditBook &book, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1116, {DeleteCredit, ModifyCredit}, {AddCredit, FindCredit}),
      m_book(book)
{
    SetStatusLine(1049, 3, [&book] {
        return QStringLiteral("您的债权债务总额:") + FormatAmount(book.GetTotal()) + QStringLiteral("元");
    });
    OnEntryButtons<CCreditDlg>(book, AddCredit, ModifyCredit);
    SetDoubleClickButton(ModifyCredit);
    OnButton(DeleteCredit, [&book] { book.Remove(); });
    OnFindButton(FindCredit, [this, &book] { return new CFindDlg(book, CFindDlg::Mode::Credit, Window()); });
}

void CCreditPanel::FillBook()
{
    m_book.Fill(QStringLiteral("Date"));
    m_book.ComputeTotals();
}
