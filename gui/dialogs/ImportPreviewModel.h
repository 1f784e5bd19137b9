// The rows of a bill as the import will take them: the record each becomes, or why it is skipped or
// cannot be read. Texts are made when the view shows a row, so a bill of any length lists at once.
// A record's check box leaves it out by hand; its item and member can be chosen, which rules its
// counterparty (or maps its trade type or member where the bill names no counterparty).
#pragma once

#include <QAbstractTableModel>
#include <vector>

class CMoneyImport;

class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ImportPreviewModel(QObject *parent = nullptr);

    // Lists the plan's rows again (all of them, or only those that will not be written).
    void Show(CMoneyImport *plan, bool keepDuplicates, bool onlyLeftOut);
    // The plan row a list row shows.
    qsizetype PlanRow(int row) const { return qsizetype(m_shown[size_t(row)]); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    static constexpr int kItemColumn = 2, kMemberColumn = 5;

    // The last column: what becomes of the row.
    QString Outcome(qsizetype planRow) const;

signals:
    void leftOutChanged();  // a record left out or taken back: the counts change
    void mappingChanged();  // a row's item or member chosen: every row of its kind may change

private:
    CMoneyImport *m_plan = nullptr;
    bool m_keepDuplicates = false;
    std::vector<qsizetype> m_shown;
};
