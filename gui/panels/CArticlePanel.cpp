// The asset panel's buttons.
#include "CArticlePanel.h"

#include "common/Amount.h"
#include "dialogs/CArticleDlg.h"
#include "dialogs/CArticleFindDlg.h"
#include "panels/Actions.h"

using namespace Action;

CArticlePanel::CArticlePanel(CArticleBook &book, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1006, {DeleteArticle, ModifyArticle}, {AddArticle, FindArticle}),
      m_book(book)
{
    SetStatusLine(1045, 3, [&book] {
        return QStringLiteral("您的物品总成本:") + FormatAmount(book.GetTotalCost()) + QStringLiteral("元  ")
               + QStringLiteral("物品总价值:") + FormatAmount(book.GetTotalValue()) + QStringLiteral("元");
    });
    OnEntryButtons<CArticleDlg>(book, AddArticle, ModifyArticle);
    SetDoubleClickButton(ModifyArticle);
    OnButton(DeleteArticle, [&book] { book.Remove(); });
    OnFindButton(FindArticle, [this, &book] { return new CArticleFindDlg(book, Window()); });
}

void CArticlePanel::FillBook()
{
    m_book.Fill(QStringLiteral("Name"));
    m_book.ComputeTotals();
}
