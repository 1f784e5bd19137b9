// Reads over the set's keyset that leave the cursor where it stands: IDs by position, after a key or
// all of them, each record by ID, the positions that match a condition, and sums.
#include "RecordSet.h"

#include "db/DbError.h"
#include "db/KeptFigures.h"

#include <QScopeGuard>

namespace {

constexpr qint64 kShortWalk = 500;  // a walk this short costs less than reading the block counts

} // namespace

qint64 CRecordSet::SumCents(const QString &column, const QString &extraCondition)
{
    RequireOpen();
    Sync();
    const auto canonical = LookupColumn(column);
    if (!canonical)
        throw DbError(QStringLiteral("无法识别的列：%1").arg(column));
    const QString extraText = extraCondition.trimmed();
    const QString &filter = m_query.Filter();
    // The figure the database keeps serves a set that holds exactly the table's records under one condition.
    if (!m_query.Newer() && m_added.empty() && (filter.isEmpty() || extraText.isEmpty())) {
        if (const auto kept = KeptFigure(*m_db, m_table, canonical->first, filter.isEmpty() ? extraText : filter))
            return *kept;
    }
    return m_query.SumCents(*m_db, canonical->first, Parse(extraCondition), m_added);
}

double CRecordSet::Sum(const QString &column, const QString &extraCondition)
{
    return double(SumCents(column, extraCondition)) / 100.0;
}

std::vector<qint64> CRecordSet::MatchingPositions(const QString &condition)
{
    RequireOpen();
    Sync();
    const SqlCondition match = Parse(condition);
    qint64 count = 0;
    std::vector<qint64> positions = m_query.MatchingPositions(*m_db, match, &count);
    m_positions.LearnCount(count);
    for (size_t i = 0; i < m_added.size(); ++i) {
        if (m_query.ReadById(*m_db, m_added[i], match))
            positions.push_back(count + qint64(i));
    }
    return positions;
}

std::vector<qint64> CRecordSet::IdsAt(qint64 first, qint64 count)
{
    RequireOpen();
    Sync();
    std::vector<qint64> ids;
    first = std::max<qint64>(first, 0);
    const qint64 base = BaseCount();
    if (first < base && count > 0) {
        const qint64 wanted = std::min(count, base - first);
        // The shortest walk to the position: from the start, back from the end, or from the start of
        // the block that holds it, where the block counts serve.
        const qint64 fromStartSkip = first;
        const qint64 fromEndSkip = base - first - wanted;
        std::optional<BlockPositions::Place> block;
        if (std::min(fromStartSkip, fromEndSkip) > kShortWalk)
            block = m_positions.BlockPlace(*m_db, m_query, first);
        const bool fromEnd = !block && fromEndSkip < fromStartSkip;
        const qint64 offset = block ? block->offset : fromEnd ? fromEndSkip : fromStartSkip;
        ids = m_query.IdsFrom(*m_db, offset, wanted, fromEnd, block ? &block->start : nullptr);
    }
    for (qint64 index = std::max<qint64>(first - base, 0); qint64(ids.size()) < count && index < qint64(m_added.size()); ++index)
        ids.push_back(m_added[size_t(index)]);
    return ids;
}

std::vector<qint64> CRecordSet::IdsAfter(qint64 id, qint64 count)
{
    RequireOpen();
    Sync();
    std::vector<qint64> ids;
    size_t nextAdded = 0;
    const auto added = std::find(m_added.begin(), m_added.end(), id);
    if (added != m_added.end()) {
        nextAdded = size_t(added - m_added.begin()) + 1;
    } else {
        const std::optional<SqlRow> row = m_query.ReadById(*m_db, id);
        if (!row)
            return ids;
        ids = m_query.IdsAfter(*m_db, *row, count);
    }
    for (size_t i = nextAdded; qint64(ids.size()) < count && i < m_added.size(); ++i)
        ids.push_back(m_added[i]);
    return ids;
}

std::vector<qint64> CRecordSet::AllIds()
{
    RequireOpen();
    Sync();
    std::vector<qint64> ids = m_query.AllIds(*m_db);
    m_positions.LearnCount(qint64(ids.size()));
    ids.insert(ids.end(), m_added.begin(), m_added.end());
    return ids;
}

void CRecordSet::ForEachById(const std::vector<qint64> &ids, const std::function<void(qint64 id)> &visit)
{
    RequireOpen();
    if (m_editMode != EditMode::None)
        throw DbError(QStringLiteral("记录正在编辑"));
    const std::vector<SqlRow> rows = m_query.ReadByIds(*m_db, ids);
    QHash<qint64, size_t> read;
    for (size_t r = 0; r < rows.size(); ++r)
        read.insert(IntOfValue(rows[r].at(0)), r);
    // Visited in the order of the IDs given, which is the order the caller lists them in.
    const auto forget = qScopeGuard([this] { m_visiting = nullptr; });
    for (qint64 id : ids) {
        const auto found = read.constFind(id);
        if (found == read.constEnd())
            continue;
        LoadFields(rows[found.value()]);
        m_visiting = &rows[found.value()];
        visit(id);
    }
    if (HasCurrent())
        LoadFields(m_row);
    else
        ClearFields();
}

void CRecordSet::ForEachInOrder(const QString &selectList, const std::function<void(const SqlStatement &row)> &visit)
{
    RequireOpen();
    Sync();
    m_query.ForEachInOrder(*m_db, selectList, m_added, visit);
}

qint64 CRecordSet::NextMatch(const QString &condition, qint64 afterPosition)
{
    RequireOpen();
    Sync();
    const SqlCondition match = Parse(condition);
    const qint64 base = BaseCount();
    if (afterPosition + 1 < base) {
        std::optional<SqlRow> after;
        if (afterPosition >= 0) {
            const std::vector<qint64> ids = IdsAt(afterPosition, 1);
            if (!ids.empty())
                after = m_query.ReadById(*m_db, ids.front());
        }
        if (afterPosition < 0 || after) {
            // Among the next few records, then through the block counts of the matches where they
            // serve, else on to the end.
            const SqlRow *from = after ? &*after : nullptr;
            std::optional<SqlRow> found = m_query.NextMatch(*m_db, match, from, kShortWalk);
            bool served = found.has_value();
            if (!served)
                found = m_positions.NextMatch(*m_db, m_query, match, from, &served);
            if (!served)
                found = m_query.NextMatch(*m_db, match, from);
            if (found)
                return m_positions.PositionOf(*m_db, m_query, *found);
        }
    }
    // Then the records the set added, in the order added.
    for (qint64 index = std::max<qint64>(afterPosition + 1 - base, 0); index < qint64(m_added.size()); ++index) {
        if (m_query.ReadById(*m_db, m_added[size_t(index)], match))
            return base + index;
    }
    return -1;
}
