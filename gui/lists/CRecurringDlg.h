// 周期收支 in the settings tree: the templates of the records that come due by themselves, each with
// its rule and its next date; added, changed and removed here; what comes due in the next 30 days and
// what is due now one click away.
#pragma once

#include "recurring/CRecurringBook.h"

#include <QDialog>
#include <memory>

class CMoneyBook;
class QTableWidget;

class CRecurringDlg : public QDialog
{
    Q_OBJECT
public:
    CRecurringDlg(CMoneyBook *book, QWidget *parent = nullptr);

    QTableWidget *Table() const { return m_table; }
    CRecurringBook &Book() { return *m_recurring; }
    void AddTemplate();
    void ModifyChosen();
    void RemoveChosen();
    // The occurrences of the next 30 days, as a list.
    void ShowComing();
    // The records due now, to confirm (needs the income and expense book).
    void ConfirmDue();

private:
    void Fill();
    // The template edited in its editor, then added or changed.
    void Edit(const RecurringTemplate &recurring);
    int ChosenRow() const;

    CMoneyBook *m_book;
    std::unique_ptr<CRecurringBook> m_recurring;
    QList<RecurringTemplate> m_templates;
    QTableWidget *m_table;
};
