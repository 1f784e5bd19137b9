// The rules an import meets: a counterparty of the bill written under the item and member chosen for
// it, in this bill and the next. Each rule's item and member is chosen in a drop-down list (the first
// entry leaves it to the trade type's mapping and the member column); a rule can be dropped.
#pragma once

#include <QAbstractTableModel>

class CMoneyImport;

class ImportRuleModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { kCounterparty, kKind, kRows, kItem, kMember, kColumnCount };
    // The first entry of each drop-down list: not ruled.
    static QString Unruled();

    explicit ImportRuleModel(QObject *parent = nullptr);
    void Show(CMoneyImport *plan);
    void DropRule(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void rulesChanged();

private:
    CMoneyImport *m_plan = nullptr;
};
