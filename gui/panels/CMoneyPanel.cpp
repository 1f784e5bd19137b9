// The income and expense panel's buttons, pages and import.
#include "CMoneyPanel.h"

#include "app/CBookView.h"
#include "common/Amount.h"
#include "controls/CPageSelector.h"
#include "db/DbError.h"
#include "dialogs/CFilterDlg.h"
#include "dialogs/CImportDlg.h"
#include "dialogs/CMoneyDlg.h"
#include "dialogs/CMoneyFindDlg.h"
#include "panels/Actions.h"

#include <QLabel>

using namespace Action;

CMoneyPanel::CMoneyPanel(CMoneyBook &book, QWidget *window, const Controls &controls)
    : CLedgerPanel(book, window, controls, 1004, {DeleteMoney, ModifyMoney},
                   {AddMoney, FilterMoney, FindMoney, 1094, 1097, PreviousPage, NextPage}),
      m_book(book)
{
    SetStatusLine(1041, 3, [this] {
        return QStringLiteral("您的现金总额:") + FormatAmount(m_book.GetTotal()) + QStringLiteral("元  ");
    });
    OnEntryButtons<CMoneyDlg>(book, AddMoney, ModifyMoney);
    SetDoubleClickButton(ModifyMoney);
    OnButton(DeleteMoney, [this] { m_book.Remove(); });
    OnButton(FilterMoney, [this] {
        CFilterDlg dialog(m_book, Window());
        dialog.exec();
    });
    OnFindButton(FindMoney, [this] { return new CMoneyFindDlg(m_book, Window()); });
    OnButton(PreviousPage, [this] { ShowPage(m_book.GetCurrentPage() - 1); });
    OnButton(NextPage, [this] { ShowPage(m_book.GetCurrentPage() + 1); });
    auto *pages = qobject_cast<CPageSelector *>(Control(1097));
    QObject::connect(pages, QOverload<int>::of(&QComboBox::activated), pages,
                     [this](int index) { TellDbFailure([this, index] { ShowPage(index + 1); }); });
    List()->AddMenuAction(QStringLiteral("导入收支记录…"), [this] { OpenImport(); });
}

void CMoneyPanel::ShowPage(int page)
{
    m_book.ShowPage(page, QStringLiteral("Date"));
}

void CMoneyPanel::OpenImport(const QString &file)
{
    TellDbFailure([this, file] {
        CImportDlg dialog(m_book, Window());
        if (file.isEmpty())
            dialog.ChooseFile();
        else
            dialog.OpenFile(file);
        if (dialog.Plan() || dialog.Reading())
            dialog.exec();
    });
}

void CMoneyPanel::Refresh()
{
    CLedgerPanel::Refresh();
    const int pageCount = m_book.GetPageCount();
    const int current = m_book.GetCurrentPage();
    const QString pageText = QStringLiteral("共 %1 页  当前页 : ").arg(pageCount);
    auto *pageLabel = qobject_cast<QLabel *>(Control(1094));
    pageLabel->setVisible(IsShown());
    const int width = TextLineWidth(pageLabel, pageText);
    pageLabel->setGeometry(498 - width, 62, width, kLineHeight);
    pageLabel->setText(pageText);
    qobject_cast<CPageSelector *>(Control(1097))->SetPages(pageCount, current);
    Control(PreviousPage)->setEnabled(pageCount > 0 && current > 1);
    Control(NextPage)->setEnabled(pageCount > 0 && current < pageCount);
}

void CMoneyPanel::FillBook()
{
    m_book.ShowPage(1, QStringLiteral("Date"));
    m_book.ComputeTotal();
}

void CMoneyPanel::ReadBookAgain()
{
    m_book.Reload();  // the page and the filter shown stay
}
