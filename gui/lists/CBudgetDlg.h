// 预算 in the settings tree: a month's budgets beside what was spent (the items over their budget
// first, in red, then the whole month's expense), and a budget set for an expense item or for the
// whole month, every month or the chosen month alone.
#pragma once

#include "budget/CBudgetBook.h"

#include <QDialog>
#include <memory>

class CAmountEdit;
class QComboBox;
class QDateEdit;
class QTableWidget;

class CBudgetDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CBudgetDlg(QWidget *parent = nullptr);

    QDateEdit *Month() const { return m_month; }
    QTableWidget *Table() const { return m_table; }
    QComboBox *Item() const { return m_item; }
    CAmountEdit *Amount() const { return m_amount; }
    QComboBox *Scope() const { return m_scope; }
    // Sets the budget the fields say; false (and told) when it cannot be.
    bool SetBudget();
    // The month's view shown again.
    void ShowMonth();

private:
    std::unique_ptr<CBudgetBook> m_budgets;
    QDateEdit *m_month;
    QTableWidget *m_table;
    QComboBox *m_item;
    CAmountEdit *m_amount;
    QComboBox *m_scope;
};
