// The rules of an import's counterparties.
#include "ImportRuleModel.h"

#include "dialogs/ImportMappingModel.h"
#include "transfer/MoneyImport.h"

QString ImportRuleModel::Unruled()
{
    return QStringLiteral("（不指定）");
}

ImportRuleModel::ImportRuleModel(QObject *parent) : QAbstractTableModel(parent) {}

void ImportRuleModel::Show(CMoneyImport *plan)
{
    beginResetModel();
    m_plan = plan;
    endResetModel();
}

void ImportRuleModel::DropRule(int row)
{
    if (!m_plan || row < 0 || row >= rowCount())
        return;
    beginResetModel();
    m_plan->DropRule(row);
    endResetModel();
    emit rulesChanged();
}

int ImportRuleModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_plan ? 0 : int(m_plan->Rules().size());
}

int ImportRuleModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ImportRuleModel::data(const QModelIndex &index, int role) const
{
    if (!m_plan || !index.isValid() || index.row() >= rowCount())
        return {};
    const CMoneyImport::Rule &rule = m_plan->Rules().at(index.row());
    if (role == MappingChoiceDelegate::ChoicesRole) {
        if (index.column() == kItem)
            return QStringList{Unruled()} + m_plan->ItemNames(rule.income);
        if (index.column() == kMember)
            return QStringList{Unruled()} + m_plan->MemberNames();
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case kCounterparty: return rule.counterparty;
    case kKind: return rule.income ? QStringLiteral("收入") : QStringLiteral("支出");
    case kRows: return QString::number(rule.rows);
    case kItem: return rule.item.isEmpty() ? Unruled() : rule.item;
    case kMember: return rule.member.isEmpty() ? Unruled() : rule.member;
    default: return {};
    }
}

QVariant ImportRuleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const kTitles[kColumnCount] = {"交易对方", "收/支", "行数", "记为项目", "记为成员"};
    return QString::fromUtf8(kTitles[section]);
}

Qt::ItemFlags ImportRuleModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == kItem || index.column() == kMember ? shown | Qt::ItemIsEditable : shown;
}

bool ImportRuleModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_plan || !index.isValid() || role != Qt::EditRole || (index.column() != kItem && index.column() != kMember)
        || index.row() >= rowCount())
        return false;  // a list that closes after the rules changed under it
    const QString chosen = value.toString() == Unruled() ? QString() : value.toString();
    const CMoneyImport::Rule rule = m_plan->Rules().at(index.row());
    // A rule left with neither goes, and the rows are counted again: shown anew by whoever hears
    // rulesChanged, once the drop-down list that made the choice is closed.
    m_plan->ChangeRule(index.row(), index.column() == kItem ? chosen : rule.item, index.column() == kMember ? chosen : rule.member);
    emit dataChanged(index, index);
    emit rulesChanged();
    return true;
}
