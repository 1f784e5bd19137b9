// Where a position of the income/expense list falls, found from the counts the ledger keeps per
// month (MoneyMonths, MoneyMonthItems) instead of by walking the list up to it: the month that holds
// the position and the place within that month. Reaching any page then walks at most one month,
// whatever the size of the ledger.
//
// It serves the list sorted by date, unfiltered or filtered on one item ("Item='餐饮'") or on one
// comparison of the date ("Date>#2003-5-1#"), leaving out the records above an ID (those that joined
// the table after the list was opened). For any other list it declines, and the caller walks.
#pragma once

#include "db/FilterParser.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class SqlConnection;

class MonthPositions
{
public:
    // The positions of the list of this table, sort column and condition, or nothing when the ledger
    // keeps no counts for such a list.
    static std::unique_ptr<MonthPositions> For(const QString &table, const QString &sortColumn,
                                               const SqlCondition &condition);

    // Reads the month counts of the list's records with an ID up to maxId (all when newer is false).
    // False when they cannot serve this ledger (records with a date that is not text, a month key that
    // reads as a number, or counts that do not add up).
    bool Read(SqlConnection &db, qint64 maxId, bool newer);

    // The number of the list's records, as read.
    qint64 Count() const { return m_count; }

    // The month key ("2003-05") that holds the position and the position's place within the month.
    struct Place
    {
        QString month;
        qint64 offset = 0;
    };
    std::optional<Place> Locate(qint64 position) const;
    // The position of the first of the list's records in the month ("2003-05"), or nothing when the
    // list holds none from that month.
    std::optional<qint64> MonthStart(const QString &month) const;

private:
    enum class Kind { All, Item, Date };
    MonthPositions(Kind kind, SqlCondition condition) : m_kind(kind), m_condition(std::move(condition)) {}

    // The kept counts per month of the records the condition may hold.
    void ReadKept(SqlConnection &db);
    // The month of a date comparison counted exactly (newer records left out), and the months wholly
    // outside it emptied; returns the month counted.
    QString CountDateMonths(SqlConnection &db, qint64 maxId, bool newer);
    // Takes away the records above maxId, per month, except from the month already counted exactly.
    void TakeNewer(SqlConnection &db, qint64 maxId, const QString &counted);

    Kind m_kind;
    SqlCondition m_condition;
    QString m_dateOp;  // the comparison of a date condition
    std::vector<QString> m_months;   // month keys in list order
    std::vector<qint64> m_counts;    // the list's records in each month
    std::vector<qint64> m_starts;    // the position of each month's first record
    qint64 m_count = 0;
};
