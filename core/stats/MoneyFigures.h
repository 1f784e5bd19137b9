// The income and expense figures of the statistics, read from the sums the ledger keeps per month,
// item and sign, so that no chart walks the records: a range is its whole months from those sums and
// the records of its two edge months from the date index.
#pragma once

#include "stats/StatCharts.h"

#include <QDateTime>

class SqlConnection;

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

private:
    // Calls add(item, sign, cents) for every record of the range (sign -1 below nothing, else 1),
    // a whole month's records at once where the range holds the whole month.
    template <typename Add>
    void ForEachSum(const QDateTime &start, const QDateTime &end, Add add);
    void OrderTiesByFirstRecord(bool income, const QDateTime &start, const QDateTime &end,
                                std::vector<ItemCents> &items);

    SqlConnection &m_db;
};
