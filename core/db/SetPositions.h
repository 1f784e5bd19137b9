// Where the records of a record set stand: their number, counted once and kept until the table
// changes, and the month that holds a position, where the ledger's month counts serve the set.
#pragma once

#include "db/KeysetQuery.h"
#include "db/MonthPositions.h"

#include <memory>
#include <optional>

class SetPositions
{
public:
    // At the open (with the month counts of the set, when the ledger keeps any) and at the close.
    void Start(std::unique_ptr<MonthPositions> months);
    void Stop();
    // Another set or a rolled-back transaction changed the table: count and months read again.
    void TableChanged();
    // The set changed the table itself: the months read again; the count is kept up by the set.
    void OwnChange() { m_monthsRead = false; }
    void ForgetCount() { m_count = -1; }
    void LearnCount(qint64 count) { m_count = count; }
    void OneFewer();

    // The number of records of the keyset: the kept count of the table (or of the filter's records)
    // less those that joined since the open, the month counts added up, or counted.
    qint64 Count(SqlConnection &db, const KeysetQuery &query);
    // The month and the place within it of a position, where the month counts serve; nothing where
    // they do not (the caller then walks the order).
    std::optional<MonthPositions::Place> MonthPlace(SqlConnection &db, const KeysetQuery &query, qint64 position);

    // The position of the keyset's record with the row's key: from the start of its month where the
    // month counts serve, else counted from the start of the keyset.
    qint64 PositionOf(SqlConnection &db, const KeysetQuery &query, const SqlRow &row);

private:
    bool MonthCountsServe(SqlConnection &db, const KeysetQuery &query);

    qint64 m_count = -1;
    std::unique_ptr<MonthPositions> m_months;
    bool m_monthsRead = false;
    bool m_monthsServe = false;
};
