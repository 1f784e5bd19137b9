// 预算: an amount per expense item per month (the same every month unless set for a given month) and
// one for the month's whole expense; the view of a month sets each budget beside what was spent,
// read from the kept monthly sums, so that it costs the same on any size of ledger.
#pragma once

#include <QString>
#include <memory>
#include <vector>

class SqlConnection;

struct BudgetLine
{
    QString item;  // empty: the month's whole expense
    qint64 budgetCents = 0;
    qint64 spentCents = 0;
    qint64 LeftCents() const { return budgetCents - spentCents; }
    bool Over() const { return spentCents > budgetCents; }
};

struct BudgetView
{
    QString month;                 // "yyyy-MM"
    std::vector<BudgetLine> items; // the items budgeted, those over their budget first
    bool hasWhole = false;         // a budget for the whole month's expense is set
    BudgetLine whole;              // the month's whole expense (against its budget when one is set)
};

struct BudgetEntry
{
    QString item;   // empty: the month's whole expense
    QString month;  // empty: every month
    qint64 cents = 0;
};

// The month's budgets beside what was spent; a ledger without budgets gives the month's whole expense
// only. Throws DbError.
BudgetView ReadBudgetView(SqlConnection &db, const QString &month);

class CBudgetBook
{
public:
    // Lays the book's table in the ledger when it has none yet.
    explicit CBudgetBook(std::shared_ptr<SqlConnection> db);

    // Sets the budget of the expense item (empty: the whole month's expense) for every month (empty
    // month) or for one ("yyyy-MM"); 0 takes it away. The problem (a negative amount, beyond the largest,
    // a month not written yyyy-MM), or an empty text when set. A database failure throws DbError.
    QString SetBudget(const QString &item, const QString &month, double amount);
    std::vector<BudgetEntry> Entries() const;
    BudgetView View(const QString &month) const;

private:
    std::shared_ptr<SqlConnection> m_db;
};
