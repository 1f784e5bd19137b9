// The fixed-term savings panel's buttons and the rule of its row buttons.
#include "CDepositPanel.h"

#include "common/Amount.h"
#include "dialogs/CDepositDlg.h"
#include "dialogs/CFindDlg.h"
#include "dialogs/CTransferDlg.h"
#include "lists/ReferenceLists.h"
#include "panels/Actions.h"

#include <QWidget>

using namespace Action;

CDepositPanel::CDepositPanel(CDepositBook &book, CMoneyBook &money, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1008, {DeleteDeposit, ContinueDeposit, TransferDeposit},
                   {AddDeposit, FindDeposit}),
      m_book(book)
{
    SetStatusLine(1047, 85, [&book] {
        return QStringLiteral("您的人民币定期存款总额:") + FormatAmount(book.GetDepositTotal()) + QStringLiteral("元  ")
               + QStringLiteral("到期后的总金额:") + FormatAmount(book.GetDueTotal()) + QStringLiteral("元");
    });
    // 续存零整 continues the chosen plan; a double click on a deposit does nothing more than choose it.
    OnEntryButtons<CDepositDlg>(book, AddDeposit, ContinueDeposit);
    OnButton(DeleteDeposit, [&book] { book.Remove(); });
    OnButton(TransferDeposit, [this, &book, &money] {
        if (book.GetSelected() < 0)
            return;
        CTransferDlg dialog(book, money, Window());
        dialog.exec();
    });
    OnFindButton(FindDeposit, [this, &book] { return new CFindDlg(book, CFindDlg::Mode::Deposit, Window()); });
}

void CDepositPanel::Refresh()
{
    CLedgerPanel::Refresh();
    const int row = m_book.GetSelected();
    Control(ContinueDeposit)->setEnabled(m_book.GetItemText(row, 3) == QStringLiteral("零存整取"));
    Control(TransferDeposit)->setEnabled(m_book.GetItemText(row, 2) == kHomeCurrency);
}

void CDepositPanel::FillBook()
{
    m_book.Fill(QStringLiteral("BDate"));
    m_book.ComputeTotals();
}
