// The income and expense figures of the statistics, read from the sums the ledger keeps per month,
// item and sign, so that no chart walks the records: a range is its whole months from those sums and
// the records of its two edge months from the date index. Records whose dates the ledger did not write
// itself (numbers, empty texts, 2003/5/1) are kept under keys that are no months: those are read one
// by one, at their dates as the record sets read them.
#pragma once

#include "db/SqlConnection.h"
#include "stats/StatCharts.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <functional>

class CMoneyFigures
{
public:
    explicit CMoneyFigures(SqlConnection &db) : m_db(db) {}

    // Income (records above nothing) and expense (the others, counted positive) from start to end,
    // both included.
    RangeSums IncomeAndExpense(const QDateTime &start, const QDateTime &end);

    // The income items (records above nothing) or expense items (below nothing) of the range with their
    // sums; items of equal sums stand in the order their first records of the range have in the table.
    // Items with nothing to show are left out.
    std::vector<ItemCents> Items(bool income, const QDateTime &start, const QDateTime &end);

    // Each month's income and expense of the year.
    YearSums Year(int year);

    // The month's ("yyyy-MM") budgets beside what was spent.
    BudgetView Budget(const QString &month) { return ReadBudgetView(m_db, month); }

private:
    // An item's sum of one sign: a whole month's from the kept sums (id 0), or one record's.
    struct Sum
    {
        QString item;
        int sign;      // -1 below nothing, else 1
        qint64 cents;
        double money;  // a record's amount
        qint64 id;     // a record's ID
        QDate day;     // a record's day as the ledger reads it
    };
    // Calls add(sum) for every record of the range, a whole month's records at once where the range
    // holds the whole month.
    template <typename Add>
    void ForEachSum(const QDateTime &start, const QDateTime &end, Add add);
    template <typename Add>
    void ReadRecords(const QString &condition, const std::vector<SqlValue> &params,
                     const std::function<bool(const QDateTime &)> &counts, Add add);
    template <typename Add>
    void ReadOddRecords(const QStringList &oddKeys, const std::function<bool(const QDateTime &)> &counts, Add add);
    // The month keys of the kept sums that are no months.
    QStringList OddKeys();
    void OrderTiesByFirstRecord(bool income, const QDateTime &start, const QDateTime &end,
                                const QHash<QString, qint64> &firstRead, std::vector<ItemCents> &items);

    SqlConnection &m_db;
};
