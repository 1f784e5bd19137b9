// Shows a book in a Qt view: its rows, cell texts and column titles; follows the book's changes.
// It never throws: Qt's painting code cannot unwind an exception.
#pragma once

#include "db/CBook.h"

#include <QAbstractTableModel>
#include <QStringList>

class BookTableModel : public QAbstractTableModel, public IBookListener
{
    Q_OBJECT
public:
    BookTableModel(CBook &book, const QStringList &titles, QObject *parent = nullptr);
    const QStringList &Titles() const { return m_titles; }
    ~BookTableModel() override;

    CBook &Book() { return m_book; }
    // Columns whose text is left-aligned; every other column is centred.
    void SetLeftAlignedColumn(int column) { m_leftColumn = column; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void RowsReset() override;
    void RowInserted(int row) override;
    void RowRemoved(int row) override;
    void RowChanged(int row) override;
    void SelectionChanged(int row) override;

signals:
    void selectionChanged(int row);  // -1: none

private:
    // A row that cannot be read shows empty; the failure is told once (after the paint, never inside
    // it), until the rows are listed again.
    void ReportReadFailure(const QString &message) const;

    CBook &m_book;
    mutable bool m_readFailed = false;
    QStringList m_titles;
    int m_rows = 0;  // the count the views know, brought up to the book's at each notification
    int m_leftColumn = -1;
};
