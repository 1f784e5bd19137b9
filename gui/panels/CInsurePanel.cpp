// The insurance panel's buttons.
#include "CInsurePanel.h"

#include "common/Amount.h"
#include "dialogs/CFindDlg.h"
#include "dialogs/CInsureDlg.h"
#include "dialogs/CInsureNoteDlg.h"
#include "dialogs/CPolicyListDlg.h"
#include "panels/Actions.h"

using namespace Action;

CInsurePanel::CInsurePanel(CInsureBook &book, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1117, {DeleteInsure, ModifyInsure},
                   {AddPolicy, AddInsure, FindInsure, PolicyList}),
      m_book(book)
{
    SetStatusLine(1052, 3, [&book] {
        return QStringLiteral("您的保险金共交纳:") + FormatAmount(book.GetTotal()) + QStringLiteral("元  ");
    });
    OnButton(AddPolicy, [this, &book] {
        CInsureNoteDlg dialog(book, EntryMode::Add, QString(), Window());
        dialog.exec();
    });
    OnEntryButtons<CInsureDlg>(book, AddInsure, ModifyInsure);
    SetDoubleClickButton(ModifyInsure);
    OnButton(DeleteInsure, [&book] { book.Remove(); });
    OnFindButton(FindInsure, [this, &book] { return new CFindDlg(book, CFindDlg::Mode::Insure, Window()); });
    OnButton(PolicyList, [this, &book] {
        CPolicyListDlg dialog(book, Window());
        dialog.exec();
    });
}

void CInsurePanel::FillBook()
{
    m_book.Fill(QStringLiteral("Date"));
    m_book.ComputeTotals();
}
