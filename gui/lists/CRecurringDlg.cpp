// The list of recurring records' templates.
#include "CRecurringDlg.h"

#include "common/Amount.h"
#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "dialogs/CDueRecordsDlg.h"
#include "dialogs/DialogParts.h"
#include "lists/CRecurringEditDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("周期收支");

QString NextDate(const RecurringTemplate &recurring, const QDate &today)
{
    for (int index = 0;; ++index) {
        const QDate day = Occurrence(recurring.rule, index);
        if (!day.isValid())
            return QStringLiteral("（已结束）");
        if (day >= today)
            return day.toString(QStringLiteral("yyyy-MM-dd"));
    }
}

} // namespace

CRecurringDlg::CRecurringDlg(CMoneyBook *book, QWidget *parent)
    : QDialog(parent), m_book(book), m_recurring(std::make_unique<CRecurringBook>(OpenLedgerDatabase()))
{
    setWindowTitle(kCaption);
    m_table = new QTableWidget(this);
    m_table->setColumnCount(6);
    m_table->setHorizontalHeaderLabels({QStringLiteral("收支项目"), QStringLiteral("金额"), QStringLiteral("家庭成员"), QStringLiteral("周期"),
                                        QStringLiteral("下次"), QStringLiteral("备注")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const auto &[column, width] : std::initializer_list<std::pair<int, int>>{{0, 90}, {1, 80}, {2, 70}, {3, 200}, {4, 90}})
        m_table->setColumnWidth(column, width);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &CRecurringDlg::ModifyChosen);
    auto *add = new QPushButton(QStringLiteral("添加…"), this);
    auto *modify = new QPushButton(QStringLiteral("修改…"), this);
    auto *remove = new QPushButton(QStringLiteral("删除"), this);
    auto *coming = new QPushButton(QStringLiteral("未来 30 天"), this);
    auto *due = new QPushButton(QStringLiteral("检查到期…"), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    due->setEnabled(m_book != nullptr);
    connect(add, &QPushButton::clicked, this, &CRecurringDlg::AddTemplate);
    connect(modify, &QPushButton::clicked, this, &CRecurringDlg::ModifyChosen);
    connect(remove, &QPushButton::clicked, this, &CRecurringDlg::RemoveChosen);
    connect(coming, &QPushButton::clicked, this, &CRecurringDlg::ShowComing);
    connect(due, &QPushButton::clicked, this, &CRecurringDlg::ConfirmDue);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {add, modify, remove, coming, due})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(720, 360);
    Fill();
}

void CRecurringDlg::Fill()
{
    m_templates = m_recurring->Templates();
    m_table->setRowCount(int(m_templates.size()));
    const QDate today = QDate::currentDate();
    for (int row = 0; row < m_templates.size(); ++row) {
        const RecurringTemplate &recurring = m_templates.at(row);
        const QStringList texts{recurring.item, TrimAmount(recurring.amount), recurring.member, DescribeRule(recurring.rule),
                                NextDate(recurring, today), recurring.note};
        for (int column = 0; column < texts.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts.at(column)));
        m_table->item(row, 1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

int CRecurringDlg::ChosenRow() const
{
    const int row = m_table->currentRow();
    if (row < 0 || row >= m_templates.size()) {
        ShowMessage(QStringLiteral("请先选择一条周期收支。"), kCaption);
        return -1;
    }
    return row;
}

void CRecurringDlg::Edit(const RecurringTemplate &recurring)
{
    CRecurringEditDlg editor(recurring, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    RecurringTemplate edited = editor.Template();
    TellDbFailure([&] {
        // A template with an id is changed; a new one is added.
        const QString problem = edited.id == 0 ? m_recurring->Add(edited) : m_recurring->Modify(edited);
        if (!problem.isEmpty())
            ShowMessage(problem, kCaption);
    });
    Fill();
}

void CRecurringDlg::AddTemplate()
{
    RecurringTemplate fresh;
    fresh.rule.first = QDate::currentDate();
    Edit(fresh);
}

void CRecurringDlg::ModifyChosen()
{
    const int row = ChosenRow();
    if (row >= 0)
        Edit(m_templates.at(row));
}

void CRecurringDlg::RemoveChosen()
{
    const int row = ChosenRow();
    if (row < 0)
        return;
    TellDbFailure([&] { m_recurring->Remove(m_templates.at(row).id); });
    Fill();
}

void CRecurringDlg::ShowComing()
{
    std::vector<DueRecord> coming;
    TellDbFailure([&] { coming = m_recurring->ComingWithin(QDate::currentDate(), 30); });
    QStringList lines;
    for (const DueRecord &record : coming)
        lines << QStringLiteral("%1　%2　%3").arg(record.due.toString(QStringLiteral("yyyy-MM-dd")), record.entry.item, TrimAmount(record.entry.amount));
    ShowMessage(lines.isEmpty() ? QStringLiteral("未来 30 天没有到期的周期收支。")
                                : QStringLiteral("未来 30 天到期的周期收支：\n") + lines.join(QLatin1Char('\n')),
                kCaption);
}

void CRecurringDlg::ConfirmDue()
{
    if (!m_book)
        return;
    TellDbFailure([this] {
        CDueRecordsDlg dialog(*m_recurring, *m_book, QDate::currentDate(), this);
        if (dialog.NothingDue())
            ShowMessage(QStringLiteral("没有到期的周期收支。"), kCaption);
        else
            dialog.exec();
    });
}
