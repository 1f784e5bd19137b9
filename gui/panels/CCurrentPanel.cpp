// The demand-savings panel's buttons.
#include "CCurrentPanel.h"

#include "common/Amount.h"
#include "dialogs/CCurrentBalanceDlg.h"
#include "dialogs/CCurrentDlg.h"
#include "dialogs/CFindDlg.h"
#include "panels/Actions.h"

using namespace Action;

CCurrentPanel::CCurrentPanel(CCurrentBook &book, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1098, {DeleteCurrent, ModifyCurrent},
                   {AddCurrent, FindCurrent, CurrentBalances}),
      m_book(book)
{
    SetStatusLine(1048, 85, [&book] {
        return QStringLiteral("您的人民币活期存款总额:") + FormatAmount(book.GetTotal()) + QStringLiteral("元");
    });
    OnEntryButtons<CCurrentDlg>(book, AddCurrent, ModifyCurrent);
    SetDoubleClickButton(ModifyCurrent);
    OnButton(DeleteCurrent, [&book] { book.Remove(); });
    OnFindButton(FindCurrent, [this, &book] { return new CFindDlg(book, CFindDlg::Mode::Current, Window()); });
    OnButton(CurrentBalances, [this, &book] {
        CCurrentBalanceDlg dialog(book, Window());
        dialog.exec();
    });
}

void CCurrentPanel::FillBook()
{
    m_book.Fill(QStringLiteral("Date"));
    m_book.ComputeTotals();
}
