// 到期的周期收支: the recurring records come due, listed with their dates for the household to write,
// change (the amount, the date or the note, in the row) or skip, one by one or all at once. A record
// whose item was taken off the item list since is shown unticked and told so: it is written under
// its own item only when ticked. So is one the ledger holds already (the same day, item and amount,
// entered by hand): 全部记入 asks whether to write or skip those.
#pragma once

#include "recurring/CRecurringBook.h"

#include <QDialog>
#include <QSet>
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
    // The rows of what is due; a record left unticked by the household stays unticked.
    void Fill(const QSet<QString> &leftUnticked = {});
    static QString KeyOf(const DueRecord &record);
    std::vector<int> TickedRows() const;
    // The rows' records as the household changed them; false (and told) for a row that cannot be read.
    bool RowRecord(int row, DueRecord *record) const;
    bool Confirm(const std::vector<int> &writeRows, const std::vector<int> &skipRows);

    CRecurringBook &m_recurring;
    CMoneyBook &m_book;
    QDate m_upTo;
    std::vector<DueRecord> m_due;
    std::vector<bool> m_offList;  // by row: the item is no longer on the item list
    std::vector<bool> m_held;     // by row: the ledger holds the record already
    QTableWidget *m_table;
    QLabel *m_summary;
};
