// The rows of a bill as the import will take them: the record each becomes, or why it is skipped or
// cannot be read. Texts are made when the view shows a row, so a bill of any length lists at once.
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
    void Show(const CMoneyImport *plan, bool keepDuplicates, bool onlyLeftOut);
    // The plan row a list row shows.
    qsizetype PlanRow(int row) const { return qsizetype(m_shown[size_t(row)]); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The last column: what becomes of the row.
    QString Outcome(qsizetype planRow) const;

private:
    const CMoneyImport *m_plan = nullptr;
    bool m_keepDuplicates = false;
    std::vector<qsizetype> m_shown;
};
