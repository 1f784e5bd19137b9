// The items (or members) of a bill that the ledger's lists do not hold, each with the rows naming it
// and the entry it is written as; that entry is chosen in a drop-down list in the last column. A
// model rather than a widget per row: a column chosen by mistake (an order number as the item) can
// bring tens of thousands of names.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

class CMoneyImport;

class ImportMappingModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Kind { Items, Members };
    ImportMappingModel(Kind kind, QObject *parent = nullptr);

    void Show(CMoneyImport *plan);
    int MappedColumn() const { return m_kind == Kind::Items ? 3 : 2; }
    // The entries the stranger on the row may be written as.
    QStringList Choices(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // The mapped column takes one of the row's choices; anything else is refused.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void mappingChanged();

private:
    Kind m_kind;
    CMoneyImport *m_plan = nullptr;
};

// The drop-down list of a mapped cell: a choice is written as soon as it is made. The cell's model
// gives the entries to choose from under ChoicesRole.
class MappingChoiceDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int ChoicesRole = Qt::UserRole + 1;
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};
