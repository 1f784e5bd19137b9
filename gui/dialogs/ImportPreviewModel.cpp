// The import preview's rows.
#include "ImportPreviewModel.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "transfer/MoneyImport.h"

#include <QBrush>
#include <QColor>

namespace {

enum Column { kLine, kDate, kItem, kIncome, kExpense, kMember, kNote, kOutcome, kColumnCount };

} // namespace

ImportPreviewModel::ImportPreviewModel(QObject *parent) : QAbstractTableModel(parent) {}

void ImportPreviewModel::Show(const CMoneyImport *plan, bool keepDuplicates, bool onlyLeftOut)
{
    beginResetModel();
    m_plan = plan;
    m_keepDuplicates = keepDuplicates;
    m_shown.clear();
    if (plan) {
        m_shown.reserve(size_t(plan->RowCount()));
        for (qsizetype row = 0; row < plan->RowCount(); ++row) {
            const bool written = plan->Row(row).kind == BillRow::Kind::Record && (keepDuplicates || !plan->IsDuplicate(row));
            if (!onlyLeftOut || !written)
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
    if (role == Qt::ForegroundRole) {
        if (row.kind == BillRow::Kind::Refused)
            return QBrush(QColor(0xC0, 0, 0));
        if (row.kind == BillRow::Kind::Skipped || m_plan->IsDuplicate(planRow))
            return QBrush(QColor(0x80, 0x80, 0x80));
        if ((index.column() == kOutcome || index.column() == kNote) && !m_plan->NoteWarning(planRow).isEmpty())
            return QBrush(QColor(0xB0, 0x50, 0x00));  // written, with something to know about its note
        return {};
    }
    if (role == Qt::TextAlignmentRole && (index.column() == kIncome || index.column() == kExpense || index.column() == kLine))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
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

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const kTitles[kColumnCount] = {"行", "日期", "收支项目", "收入", "支出", "家庭成员", "备注", "结果"};
    return QString::fromUtf8(kTitles[section]);
}
