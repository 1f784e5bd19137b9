// Balances per account.
#include "CCurrentBalanceDlg.h"

#include "db/CCurrentBook.h"
#include "common/Amount.h"
#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "dialogs/DialogParts.h"
#include "lists/ReferenceLists.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

// The balance list: a row is current only when the user made it so. Qt makes the first row current
// when a list without a current row takes the focus (as this one does when the dialog opens); that
// row is nobody's choice, and 销户 must not act on it, so the list is left without one. The first
// key that moves then goes to the first row, as the user expects of a list with nothing chosen.
class CBalanceList : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        if (currentIndex().isValid()) {
            QTreeWidget::focusInEvent(event);
            return;
        }
        // Quiet while Qt sets its current row and it is taken back: no one hears of it as a choice.
        const QSignalBlocker quiet(this);
        QTreeWidget::focusInEvent(event);
        if (currentIndex().isValid())
            selectionModel()->clearCurrentIndex();
    }
};

} // namespace

CCurrentBalanceDlg::CCurrentBalanceDlg(CCurrentBook &book, QWidget *parent) : QDialog(parent), m_book(book)
{
    setWindowTitle(QStringLiteral("活期储蓄余额"));
    m_list = new CBalanceList(this);
    m_list->setObjectName(QStringLiteral("1110"));
    m_list->setRootIsDecorated(false);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("帐户"), QStringLiteral("余额")});
    m_list->setColumnWidth(0, 135);
    m_list->setColumnWidth(1, 140);
    m_list->header()->setDefaultAlignment(Qt::AlignCenter);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumSize(300, 200);
    m_currency = MakeChoiceList(this, 1111, g_currencyList);
    m_close = MakeDialogButton(this, 1112, QStringLiteral("销户"), 167);
    m_close->setEnabled(false);
    auto *done = MakeDialogButton(this, 1113, QStringLiteral("关闭"), 189);

    connect(m_currency, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CCurrentBalanceDlg::ShowBalances);
    // The highlighted row is the one 销户 acts on, however the user highlighted it (mouse or keys);
    // the list never makes a row current by itself (CBalanceList), so a current row is a choice.
    connect(m_list, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem *item) {
        ChooseRow(m_list->indexOfTopLevelItem(item));
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            ChooseRow(m_list->indexOfTopLevelItem(item));
    });
    connect(m_close, &QPushButton::clicked, this, &CCurrentBalanceDlg::CloseChosenAccount);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    auto *choice = new QHBoxLayout;
    choice->addWidget(new QLabel(QStringLiteral("查看的货币种类"), this));
    choice->addWidget(m_currency);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    buttons->addWidget(done);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(choice);
    layout->addLayout(buttons);
    ShowBalances();
}

void CCurrentBalanceDlg::ShowBalances()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    if (m_currency->currentIndex() < 0)
        return;  // no currency to show
    m_book.ComputeBalances(m_currency->currentText());
    const QStringList &balances = m_book.GetBalances();
    for (int i = 0; i + 1 < balances.size(); i += 2) {
        auto *item = new QTreeWidgetItem({balances.at(i), TrimAmount(AtoF(balances.at(i + 1)))});
        item->setTextAlignment(0, Qt::AlignCenter);
        item->setTextAlignment(1, Qt::AlignCenter);
        m_list->addTopLevelItem(item);
    }
    if (m_chosen >= 0 && m_chosen < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(m_chosen));
}

void CCurrentBalanceDlg::ChooseRow(int row)
{
    if (row < 0 || row >= m_list->topLevelItemCount())
        return;
    m_chosen = row;
    m_list->setCurrentItem(m_list->topLevelItem(row));
    m_close->setEnabled(true);
}

void CCurrentBalanceDlg::CloseChosenAccount()
{
    if (m_chosen < 0 || m_chosen >= m_list->topLevelItemCount())
        return;
    const QString account = m_list->topLevelItem(m_chosen)->text(0);
    if (!AskYesNo(QStringLiteral("确定要删除帐户 ") + account + QStringLiteral(" 的所有记录吗?"), QStringLiteral("销户")))
        return;
    try {
        m_book.CloseAccount(account);
    } catch (const RecordChangedElsewhere &refused) {
        // Closed or changed by another computer: nothing was deleted here, and the balances show the
        // accounts as the ledger now holds them.
        ShowMessage(refused.Message(), RecordChangedElsewhere::Caption(), MessageIcon::Warning);
        m_chosen = -1;
        m_close->setEnabled(false);
        TellDbFailure([this] { ShowBalances(); });
        return;
    } catch (const DbError &error) {
        // Nothing was deleted: the account and its row stay.
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
        return;
    }
    {
        const QSignalBlocker quiet(m_list);
        delete m_list->takeTopLevelItem(m_chosen);
        m_list->setCurrentItem(nullptr);
        m_list->clearSelection();
    }
    m_chosen = -1;
    m_close->setEnabled(false);
}
