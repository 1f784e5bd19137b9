// 到期的周期收支: the recurring records come due, listed with their dates for the household to write,
// change (the amount, the date or the note, in the row) or skip, one by one or all at once. A record
// whose item was taken off the item list since is shown unticked and told so: it is written under
// its own item only when ticked.
#pragma once

#include "recurring/CRecurringBook.h"

#include <QDialog>
#include <vector>

class CMoneyBook;
class QLabel;
class QTableWidget;

class CDueRecordsDlg : public QDialog
{
    Q_OBJECT
public:
    // The records come due up to and including the day.
    CDueRecordsDlg(CRecurringBook &recurring, CMoneyBook &book, const QDate &upTo, QWidget *parent = nullptr);
    bool NothingDue() const { return m_due.empty(); }

    QTableWidget *Table() const { return m_table; }
    // The ticked records written, the others left due; the ticked skipped; all written. Each false
    // (and told) when nothing could be done; the list shows what is still due after it.
    bool WriteTicked();
    bool SkipTicked();
    bool WriteAll();

private:
    void Fill();
    std::vector<int> TickedRows() const;
    // The rows' records as the household changed them; false (and told) for a row that cannot be read.
    bool RowRecord(int row, DueRecord *record) const;
    bool Confirm(const std::vector<int> &writeRows, const std::vector<int> &skipRows);

    CRecurringBook &m_recurring;
    CMoneyBook &m_book;
    QDate m_upTo;
    std::vector<DueRecord> m_due;
    QTableWidget *m_table;
    QLabel *m_summary;
};
