// The import's strangers and the entries they are written as.
#include "ImportMappingModel.h"

#include "transfer/MoneyImport.h"

#include <QComboBox>
#include <QPointer>

ImportMappingModel::ImportMappingModel(Kind kind, QObject *parent) : QAbstractTableModel(parent), m_kind(kind) {}

void ImportMappingModel::Show(CMoneyImport *plan)
{
    beginResetModel();
    m_plan = plan;
    endResetModel();
}

int ImportMappingModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_plan)
        return 0;
    return int(m_kind == Kind::Items ? m_plan->StrangeItems().size() : m_plan->StrangeMembers().size());
}

int ImportMappingModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : MappedColumn() + 1;
}

QStringList ImportMappingModel::Choices(int row) const
{
    if (!m_plan)
        return {};
    return m_kind == Kind::Items ? m_plan->ItemNames(m_plan->StrangeItems().at(row).income) : m_plan->MemberNames();
}

QVariant ImportMappingModel::data(const QModelIndex &index, int role) const
{
    if (m_plan && index.isValid() && role == MappingChoiceDelegate::ChoicesRole && index.column() == MappedColumn())
        return Choices(index.row());
    if (!m_plan || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const CMoneyImport::Stranger &stranger =
        m_kind == Kind::Items ? m_plan->StrangeItems().at(index.row()) : m_plan->StrangeMembers().at(index.row());
    if (index.column() == 0)
        return stranger.name.isEmpty() ? QStringLiteral("（空）") : stranger.name;
    if (index.column() == MappedColumn())
        return stranger.mappedTo;
    if (index.column() == MappedColumn() - 1)
        return QString::number(stranger.rows);
    return stranger.income ? QStringLiteral("收入") : QStringLiteral("支出");
}

QVariant ImportMappingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const QStringList titles = m_kind == Kind::Items
                                   ? QStringList{QStringLiteral("收支项目"), QStringLiteral("收/支"), QStringLiteral("行数"), QStringLiteral("记为")}
                                   : QStringList{QStringLiteral("家庭成员"), QStringLiteral("行数"), QStringLiteral("记为")};
    return titles.value(section);
}

Qt::ItemFlags ImportMappingModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags shown = Qt::ItemIsEnabled;
    return index.column() == MappedColumn() ? shown | Qt::ItemIsEditable : shown;
}

bool ImportMappingModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_plan || !index.isValid() || index.column() != MappedColumn() || role != Qt::EditRole)
        return false;
    const QString entry = value.toString();
    if (!Choices(index.row()).contains(entry))
        return false;
    if (m_kind == Kind::Items)
        m_plan->MapItem(index.row(), entry);
    else
        m_plan->MapMember(index.row(), entry);
    emit dataChanged(index, index);
    emit mappingChanged();
    return true;
}

QWidget *MappingChoiceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *box = new QComboBox(parent);
    box->addItems(index.data(ChoicesRole).toStringList());
    auto *self = const_cast<MappingChoiceDelegate *>(this);  // the signals of a const editor factory
    connect(box, &QComboBox::activated, self, [self, box] {
        // The choice may show the tables anew (and take this list away) before it returns.
        const QPointer<QComboBox> open(box);
        emit self->commitData(box);
        if (open)
            emit self->closeEditor(box);
    });
    return box;
}

void MappingChoiceDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *box = static_cast<QComboBox *>(editor);
    box->setCurrentIndex(box->findText(index.data(Qt::EditRole).toString()));
}

void MappingChoiceDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *box = static_cast<QComboBox *>(editor);
    if (box->currentIndex() >= 0)
        model->setData(index, box->currentText());
}
