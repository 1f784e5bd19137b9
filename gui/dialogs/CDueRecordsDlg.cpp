// The recurring records come due.
#include "CDueRecordsDlg.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "db/CMoneyBook.h"
#include "db/DbError.h"
#include "dialogs/DialogParts.h"
#include "entry/AmountRules.h"
#include "entry/ItemChoice.h"
#include "lists/ReferenceLists.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kCaption = QStringLiteral("到期的周期收支");
enum Column { kDate, kItem, kAmount, kMember, kNote, kTold, kColumnCount };

bool ItemOnList(const QString &item, bool income)
{
    for (const QString &entry : g_itemList) {
        const ItemChoice choice = ParseItemChoice(entry);
        if (choice.name == item && choice.income == income)
            return true;
    }
    return false;
}

} // namespace

CDueRecordsDlg::CDueRecordsDlg(CRecurringBook &recurring, CMoneyBook &book, const QDate &upTo, QWidget *parent)
    : QDialog(parent), m_recurring(recurring), m_book(book), m_upTo(upTo), m_due(recurring.DueUpTo(upTo))
{
    setWindowTitle(kCaption);
    m_table = new QTableWidget(this);
    m_table->setColumnCount(kColumnCount);
    m_table->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("收支项目"), QStringLiteral("金额"), QStringLiteral("家庭成员"),
                                        QStringLiteral("备注"), QStringLiteral("提示")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    for (const auto &[column, width] : std::initializer_list<std::pair<int, int>>{{kDate, 120}, {kItem, 90}, {kAmount, 90}, {kMember, 70}, {kNote, 140}})
        m_table->setColumnWidth(column, width);
    m_summary = new QLabel(this);
    auto *writeTicked = MakeDialogButton(this, 0, QStringLiteral("记入勾选的"), 182);
    auto *skipTicked = MakeDialogButton(this, 0, QStringLiteral("跳过勾选的"), 183);
    auto *writeAll = new QPushButton(QStringLiteral("全部记入"), this);
    auto *later = new QPushButton(QStringLiteral("以后再说"), this);
    connect(writeTicked, &QPushButton::clicked, this, &CDueRecordsDlg::WriteTicked);
    connect(skipTicked, &QPushButton::clicked, this, &CDueRecordsDlg::SkipTicked);
    connect(writeAll, &QPushButton::clicked, this, &CDueRecordsDlg::WriteAll);
    connect(later, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    for (QWidget *button : std::initializer_list<QWidget *>{writeTicked, skipTicked, writeAll, later})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("以下周期收支已经到期。可以修改日期、金额和备注（双击单元格），勾选后记入或跳过："), this));
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(760, 420);
    Fill();
}

QString CDueRecordsDlg::KeyOf(const DueRecord &record)
{
    return QStringLiteral("%1|%2").arg(record.templateId).arg(record.due.toString(Qt::ISODate));
}

void CDueRecordsDlg::Fill(const QSet<QString> &leftUnticked)
{
    m_table->setRowCount(int(m_due.size()));
    m_offList.assign(m_due.size(), false);
    m_held.assign(m_due.size(), false);
    for (int row = 0; row < int(m_due.size()); ++row) {
        const DueRecord &record = m_due[size_t(row)];
        const bool income = record.entry.amount > 0;
        const bool onList = ItemOnList(record.entry.item, income);
        const bool held = m_recurring.HeldAlready(record);
        m_offList[size_t(row)] = !onList;
        m_held[size_t(row)] = held;
        QStringList hints;
        if (!onList)
            hints << QStringLiteral("该项目已从收支项目中删除，勾选后仍按原项目记入");
        if (held)
            hints << QStringLiteral("帐本中已有同日、同项目、同金额的记录");
        auto *date = new QTableWidgetItem(record.due.toString(QStringLiteral("yyyy-MM-dd")));
        date->setCheckState(onList && !held && !leftUnticked.contains(KeyOf(record)) ? Qt::Checked : Qt::Unchecked);
        m_table->setItem(row, kDate, date);
        auto *item = new QTableWidgetItem(record.entry.item);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, kItem, item);
        auto *amount = new QTableWidgetItem(TrimAmount(record.entry.amount));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(row, kAmount, amount);
        auto *member = new QTableWidgetItem(record.entry.member);
        member->setFlags(member->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, kMember, member);
        m_table->setItem(row, kNote, new QTableWidgetItem(record.entry.explain));
        auto *told = new QTableWidgetItem(hints.join(QStringLiteral("；")));
        told->setFlags(told->flags() & ~Qt::ItemIsEditable);
        told->setForeground(QColor(0xB0, 0x50, 0x00));
        m_table->setItem(row, kTold, told);
    }
    m_summary->setText(m_due.empty() ? QStringLiteral("没有到期的周期收支。") : QStringLiteral("共 %1 条到期。").arg(m_due.size()));
}

bool CDueRecordsDlg::RowRecord(int row, DueRecord *record) const
{
    *record = m_due[size_t(row)];
    const QDate day = QDate::fromString(m_table->item(row, kDate)->text().trimmed(), QStringLiteral("yyyy-MM-dd"));
    QString amount = m_table->item(row, kAmount)->text().trimmed();
    const bool expense = amount.startsWith(QLatin1Char('-'));
    if (expense)
        amount.remove(0, 1);
    const QString problem = CheckAmount(&amount).trimmed();
    if (!day.isValid() || day.year() < 1900 || !problem.isEmpty()) {
        ShowMessage(QStringLiteral("第 %1 行：%2").arg(row + 1).arg(day.isValid() ? problem : QStringLiteral("日期应写作 yyyy-MM-dd")), kCaption);
        return false;
    }
    // The kind stays the template's: an income's amount cannot turn it into an expense.
    record->entry.amount = (record->entry.amount > 0 ? 1 : -1) * std::fabs(amount.toDouble());
    record->entry.date = LedgerDateTime(day);  // the due date stays the one marked; the record may move
    record->entry.explain = m_table->item(row, kNote)->text();
    return true;
}

bool CDueRecordsDlg::Confirm(const std::vector<int> &writeRows, const std::vector<int> &skipRows)
{
    std::vector<DueRecord> write, skip;
    for (int row : writeRows) {
        DueRecord record;
        if (!RowRecord(row, &record))
            return false;
        write.push_back(record);
    }
    for (int row : skipRows)
        skip.push_back(m_due[size_t(row)]);
    if (write.empty() && skip.empty()) {
        ShowMessage(QStringLiteral("请先勾选要处理的周期收支。"), kCaption);
        return false;
    }
    // What the household left unticked stays so in what is still due.
    QSet<QString> leftUnticked;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->item(row, kDate)->checkState() != Qt::Checked)
            leftUnticked.insert(KeyOf(m_due[size_t(row)]));
    }
    qsizetype written = 0;
    try {
        written = m_recurring.Confirm(m_book, write, skip);
        m_due = m_recurring.DueUpTo(m_upTo);
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
        return false;
    }
    if (written < qsizetype(write.size()))
        ShowMessage(QStringLiteral("有 %1 条已由另一个正在运行的 Zarvel 记入或跳过，没有再次记入。").arg(qsizetype(write.size()) - written), kCaption);
    Fill(leftUnticked);
    if (m_due.empty())
        accept();
    return true;
}

std::vector<int> CDueRecordsDlg::TickedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->item(row, kDate)->checkState() == Qt::Checked)
            rows.push_back(row);
    }
    return rows;
}

bool CDueRecordsDlg::WriteTicked()
{
    return Confirm(TickedRows(), {});
}

bool CDueRecordsDlg::SkipTicked()
{
    return Confirm({}, TickedRows());
}

bool CDueRecordsDlg::WriteAll()
{
    std::vector<int> rows, offList, held, skip;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_offList[size_t(row)])
            offList.push_back(row);
        else if (m_held[size_t(row)])
            held.push_back(row);
        else
            rows.push_back(row);
    }
    // An item taken off the list is written under its own name only when the household says so.
    if (!offList.empty()
        && AskYesNo(QStringLiteral("有 %1 条的收支项目已从列表中删除。\n是否仍按原项目记入？").arg(offList.size()), kCaption))
        rows.insert(rows.end(), offList.begin(), offList.end());
    // One the ledger holds already is written again, or skipped, as the household says.
    if (!held.empty()) {
        const bool again = AskYesNo(QStringLiteral("有 %1 条在帐本中已有同日、同项目、同金额的记录。\n是否仍然记入？选“否”则跳过这些到期日。")
                                        .arg(held.size()),
                                    kCaption);
        (again ? rows : skip).insert((again ? rows : skip).end(), held.begin(), held.end());
    }
    std::sort(rows.begin(), rows.end());
    return Confirm(rows, skip);
}
