// The budgets and a month's spending against them.
#include "CBudgetDlg.h"

#include "common/Amount.h"
#include "common/Messages.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "dialogs/CAmountEdit.h"
#include "entry/AmountRules.h"
#include "entry/ItemChoice.h"
#include "lists/ReferenceLists.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("预算");

// A month picker whose arrows and wheel step by months (by years on the year), across a year's end.
class MonthEdit : public QDateEdit
{
public:
    MonthEdit(const QDate &date, QWidget *parent) : QDateEdit(date, parent)
    {
        setDisplayFormat(QStringLiteral("yyyy-MM"));
        setCurrentSection(QDateTimeEdit::MonthSection);
    }
    void stepBy(int steps) override
    {
        const QDateTimeEdit::Section section = currentSection();
        setDate(date().addMonths(section == QDateTimeEdit::YearSection ? 12 * steps : steps));
        setCurrentSection(section);
    }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled enabled = StepNone;
        if (date().addMonths(-1) >= minimumDate())
            enabled |= StepDownEnabled;
        if (date().addMonths(1) <= maximumDate())
            enabled |= StepUpEnabled;
        return enabled;
    }
};
const QString kWholeMonth = QStringLiteral("（本月全部支出）");

QString Money(qint64 cents)
{
    return FormatAmount(double(cents) / 100.0);
}

} // namespace

CBudgetDlg::CBudgetDlg(QWidget *parent) : QDialog(parent), m_budgets(std::make_unique<CBudgetBook>(OpenLedgerDatabase()))
{
    setWindowTitle(kCaption);
    m_month = new MonthEdit(QDate::currentDate(), this);
    m_month->setMinimumDate(QDate(1900, 1, 1));
    connect(m_month, &QDateEdit::dateChanged, this, &CBudgetDlg::ShowMonth);
    m_table = new QTableWidget(this);
    m_table->setColumnCount(4);
    m_table->setHorizontalHeaderLabels({QStringLiteral("收支项目"), QStringLiteral("预算"), QStringLiteral("已支出"), QStringLiteral("剩余")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);

    m_item = new QComboBox(this);
    m_item->addItem(kWholeMonth);
    for (const QString &entry : g_itemList) {
        const ItemChoice choice = ParseItemChoice(entry);
        if (!choice.income && m_item->findText(choice.name) < 0)
            m_item->addItem(choice.name);
    }
    m_amount = new CAmountEdit(this);
    m_amount->setMaxLength(18);
    m_amount->setPlaceholderText(QStringLiteral("0 表示取消"));
    m_scope = new QComboBox(this);
    m_scope->addItems({QStringLiteral("每月"), QStringLiteral("仅所选月份")});
    auto *set = new QPushButton(QStringLiteral("设置预算"), this);
    connect(set, &QPushButton::clicked, this, &CBudgetDlg::SetBudget);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("月份"), this));
    top->addWidget(m_month);
    top->addStretch(1);
    auto *edit = new QHBoxLayout;
    edit->addWidget(m_item, 2);
    edit->addWidget(m_amount, 1);
    edit->addWidget(m_scope);
    edit->addWidget(set);
    edit->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addLayout(edit);
    resize(560, 400);
    ShowMonth();
}

void CBudgetDlg::ShowMonth()
{
    BudgetView view;
    if (!TellDbFailure([&] { view = m_budgets->View(m_month->date().toString(QStringLiteral("yyyy-MM"))); }))
        return;
    std::vector<BudgetLine> lines = view.items;
    BudgetLine whole = view.whole;
    whole.item = kWholeMonth;
    if (!view.hasWhole)
        whole.budgetCents = -1;  // shown without a budget
    lines.push_back(whole);
    m_table->setRowCount(int(lines.size()));
    for (int row = 0; row < int(lines.size()); ++row) {
        const BudgetLine &line = lines[size_t(row)];
        const bool budgeted = line.budgetCents >= 0;
        const QStringList texts{line.item, budgeted ? Money(line.budgetCents) : QStringLiteral("（未设）"), Money(line.spentCents),
                                budgeted ? (line.Over() ? QStringLiteral("超支 %1").arg(Money(-line.LeftCents())) : Money(line.LeftCents()))
                                         : QString()};
        for (int column = 0; column < texts.size(); ++column) {
            auto *cell = new QTableWidgetItem(texts.at(column));
            if (column > 0)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (budgeted && line.Over())
                cell->setForeground(QColor(0xC0, 0, 0));
            m_table->setItem(row, column, cell);
        }
    }
}

bool CBudgetDlg::SetBudget()
{
    QString amount = m_amount->text().trimmed();
    double value = 0;
    if (!amount.isEmpty() && amount != QStringLiteral("0")) {
        const QString problem = CheckAmount(&amount).trimmed();
        if (!problem.isEmpty()) {
            ShowMessage(problem, kCaption);
            return false;
        }
        value = amount.toDouble();
    }
    const QString item = m_item->currentText() == kWholeMonth ? QString() : m_item->currentText();
    const QString month = m_scope->currentIndex() == 1 ? m_month->date().toString(QStringLiteral("yyyy-MM")) : QString();
    QString problem;
    if (!TellDbFailure([&] { problem = m_budgets->SetBudget(item, month, value); }))
        return false;
    if (!problem.isEmpty()) {
        ShowMessage(problem, kCaption);
        return false;
    }
    ShowMonth();
    return true;
}
