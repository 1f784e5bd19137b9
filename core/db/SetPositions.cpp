// A record set's count and month positions.
#include "SetPositions.h"

#include "db/KeptFigures.h"

void SetPositions::Start(std::unique_ptr<MonthPositions> months)
{
    m_count = -1;
    m_months = std::move(months);
    m_monthsRead = false;
}

void SetPositions::Stop()
{
    m_count = -1;
    m_months.reset();
    m_monthsRead = false;
}

void SetPositions::TableChanged()
{
    m_count = -1;
    m_monthsRead = false;
}

void SetPositions::OneFewer()
{
    if (m_count > 0)
        --m_count;
}

bool SetPositions::MonthCountsServe(SqlConnection &db, const KeysetQuery &query)
{
    if (!m_months)
        return false;
    if (!m_monthsRead) {
        m_monthsServe = m_months->Read(db, query.MaxId(), query.Newer());
        m_monthsRead = true;
    }
    return m_monthsServe;
}

std::optional<MonthPositions::Place> SetPositions::MonthPlace(SqlConnection &db, const KeysetQuery &query, qint64 position)
{
    if (!MonthCountsServe(db, query))
        return std::nullopt;
    return m_months->Locate(position);
}

qint64 SetPositions::Count(SqlConnection &db, const KeysetQuery &query)
{
    if (m_count >= 0)
        return m_count;
    // The kept count of the table (or of the filter's records, where one is kept), less the records
    // that joined since the open: those are few, and found by their IDs.
    if (const auto kept = KeptFigure(db, query.Table(), QStringLiteral("count"), query.Filter())) {
        m_count = *kept - (query.Newer() ? query.CountNewer(db) : 0);
        return m_count;
    }
    // A filtered list whose month counts serve adds them up rather than counting its records.
    if (MonthCountsServe(db, query)) {
        m_count = m_months->Count();
        return m_count;
    }
    m_count = query.Count(db);
    return m_count;
}

qint64 SetPositions::PositionOf(SqlConnection &db, const KeysetQuery &query, const SqlRow &row)
{
    if (query.SortIndex() > 0 && MonthCountsServe(db, query)) {
        const SqlValue &sortValue = row.at(size_t(query.SortIndex()));
        if (std::holds_alternative<QString>(sortValue)) {
            const QString month = std::get<QString>(sortValue).left(7);
            if (const auto start = m_months->MonthStart(month))
                return *start + query.CountBeforeInMonth(db, row, month);
        }
    }
    return query.CountBefore(db, row);
}
