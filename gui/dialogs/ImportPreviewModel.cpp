// The import preview's rows.
#include "ImportPreviewModel.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "dialogs/ImportMappingModel.h"
#include "transfer/MoneyImport.h"

#include <QBrush>
#include <QColor>

namespace {

enum Column { kLine, kDate, kItem, kIncome, kExpense, kMember, kNote, kOutcome, kColumnCount };

} // namespace

ImportPreviewModel::ImportPreviewModel(QObject *parent) : QAbstractTableModel(parent) {}

void ImportPreviewModel::Show(CMoneyImport *plan, bool keepDuplicates, bool onlyLeftOut)
{
    beginResetModel();
    m_plan = plan;
    m_keepDuplicates = keepDuplicates;
    m_shown.clear();
    if (plan) {
        m_shown.reserve(size_t(plan->RowCount()));
        for (qsizetype row = 0; row < plan->RowCount(); ++row) {
            if (!onlyLeftOut || !plan->IsWritten(row, keepDuplicates))
                m_shown.push_back(row);
        }
    }
    endResetModel();
}

int ImportPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ImportPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QString ImportPreviewModel::Outcome(qsizetype planRow) const
{
    const BillRow &row = m_plan->Row(planRow);
    switch (row.kind) {
    case BillRow::Kind::Skipped: return QStringLiteral("跳过：") + row.reason;
    case BillRow::Kind::Refused: return QStringLiteral("无法读取：") + row.reason;
    case BillRow::Kind::Record: break;
    }
    if (m_plan->IsLeftOut(planRow))
        return QStringLiteral("不导入（手动排除）");
    const bool duplicate = m_plan->IsDuplicate(planRow);
    if (duplicate && !m_keepDuplicates)
        return QStringLiteral("已有相同记录，不导入");
    // A row written is still told of what it loses or brings: a note cut, characters not read.
    QStringList told;
    if (!row.reason.isEmpty())
        told << row.reason;  // a refund taken off, a fee of a neutral row
    if (duplicate)
        told << QStringLiteral("与已有记录相同");
    const QString note = m_plan->NoteWarning(planRow);
    if (!note.isEmpty())
        told << note;
    return told.isEmpty() ? QStringLiteral("导入") : QStringLiteral("导入（%1）").arg(told.join(QStringLiteral("；")));
}

QVariant ImportPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!m_plan || !index.isValid() || index.row() >= rowCount())
        return {};
    const qsizetype planRow = PlanRow(index.row());
    const BillRow &row = m_plan->Row(planRow);
    const bool record = row.kind == BillRow::Kind::Record;
    if (role == Qt::CheckStateRole && index.column() == kLine && record)
        return m_plan->IsLeftOut(planRow) ? Qt::Unchecked : Qt::Checked;
    if (role == MappingChoiceDelegate::ChoicesRole && record) {
        if (index.column() == kItem)
            return m_plan->ItemNames(row.amount > 0);
        if (index.column() == kMember)
            return m_plan->MemberNames();
        return {};
    }
    if (role == Qt::ForegroundRole) {
        if (row.kind == BillRow::Kind::Refused)
            return QBrush(QColor(0xC0, 0, 0));
        if (row.kind == BillRow::Kind::Skipped || m_plan->IsDuplicate(planRow) || m_plan->IsLeftOut(planRow))
            return QBrush(QColor(0x80, 0x80, 0x80));
        if ((index.column() == kOutcome || index.column() == kNote) && !m_plan->NoteWarning(planRow).isEmpty())
            return QBrush(QColor(0xB0, 0x50, 0x00));  // written, with something to know about its note
        return {};
    }
    if (role == Qt::TextAlignmentRole && (index.column() == kIncome || index.column() == kExpense || index.column() == kLine))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && record && (index.column() == kItem || index.column() == kMember))
        return row.counterparty.isEmpty() ? QStringLiteral("双击选择：本账单中同名的项目或成员都随之改变")
                                          : QStringLiteral("双击选择：“%1”的交易以后都记为所选").arg(row.counterparty);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::EditRole)
        return {};
    if (index.column() == kLine)
        return QString::number(m_plan->FileRecordOf(planRow));
    if (index.column() == kOutcome)
        return Outcome(planRow);
    if (row.kind != BillRow::Kind::Record) {
        // A row that is not a record shows what the file holds there, the beginning of it: a field
        // opened by a quote never closed holds the rest of the file.
        if (index.column() != kNote)
            return {};
        constexpr qsizetype kShown = 300;
        const QString text = m_plan->Records().at(m_plan->FileRecordOf(planRow) - 1).join(QLatin1Char(','));
        if (text.size() <= kShown)
            return text;
        return text.left(text.at(kShown - 1).isHighSurrogate() ? kShown - 1 : kShown) + QChar(0x2026);
    }
    const MoneyEntry entry = m_plan->EntryOf(planRow);
    switch (index.column()) {
    case kDate: return DbDateText(entry.date);
    case kItem: return entry.item;
    case kIncome: return entry.amount > 0 ? TrimAmount(entry.amount) : QString();
    case kExpense: return entry.amount < 0 ? TrimAmount(entry.amount) : QString();
    case kMember: return entry.member;
    case kNote:
        if (role == Qt::ToolTipRole) {
            const QString told = m_plan->NoteWarning(planRow);
            return told.isEmpty() ? entry.explain : told + QLatin1Char('\n') + entry.explain;
        }
        return entry.explain;
    default: return {};
    }
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_plan || !index.isValid() || index.row() >= rowCount() || m_plan->Row(PlanRow(index.row())).kind != BillRow::Kind::Record)
        return flags;
    if (index.column() == kLine)
        flags |= Qt::ItemIsUserCheckable;
    // A choice rules the row's counterparty, or maps its trade type or member where the bill names no
    // counterparty; a row with neither (an item or member the ledger's own) offers none.
    const qsizetype planRow = PlanRow(index.row());
    const bool ruled = !m_plan->Row(planRow).counterparty.isEmpty();
    if ((index.column() == kItem && (ruled || m_plan->StrangeItemOf(planRow) >= 0))
        || (index.column() == kMember && (ruled || m_plan->StrangeMemberOf(planRow) >= 0)))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ImportPreviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_plan || !index.isValid() || index.row() >= rowCount())
        return false;
    const qsizetype planRow = PlanRow(index.row());
    if (m_plan->Row(planRow).kind != BillRow::Kind::Record)
        return false;
    if (role == Qt::CheckStateRole && index.column() == kLine) {
        m_plan->LeaveOut(planRow, value.toInt() != Qt::Checked);
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kColumnCount - 1));
        emit leftOutChanged();
        return true;
    }
    if (role != Qt::EditRole || (index.column() != kItem && index.column() != kMember))
        return false;
    const QString chosen = value.toString();
    const bool item = index.column() == kItem;
    const BillRow &row = m_plan->Row(planRow);
    bool changed = false;
    if (!row.counterparty.isEmpty()) {
        const CMoneyImport::Rule rule = m_plan->RuleOf(planRow);
        changed = m_plan->RuleRow(planRow, item ? chosen : rule.item, item ? rule.member : chosen);
    } else if (item && m_plan->StrangeItemOf(planRow) >= 0 && m_plan->ItemNames(row.amount > 0).contains(chosen)) {
        m_plan->MapItem(m_plan->StrangeItemOf(planRow), chosen);
        changed = true;
    } else if (!item && m_plan->StrangeMemberOf(planRow) >= 0 && m_plan->MemberNames().contains(chosen)) {
        m_plan->MapMember(m_plan->StrangeMemberOf(planRow), chosen);
        changed = true;
    }
    if (!changed)
        return false;
    emit dataChanged(this->index(0, 0), this->index(rowCount() - 1, kColumnCount - 1));
    emit mappingChanged();
    return true;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const kTitles[kColumnCount] = {"行", "日期", "收支项目", "收入", "支出", "家庭成员", "备注", "结果"};
    return QString::fromUtf8(kTitles[section]);
}
