// A record set's count and block positions.
#include "SetPositions.h"

#include "db/KeptFigures.h"

void SetPositions::Start(std::unique_ptr<BlockPositions> blocks)
{
    m_count = -1;
    m_blocks = std::move(blocks);
    m_blocksRead = false;
}

void SetPositions::Stop()
{
    m_matches.reset();
    m_count = -1;
    m_blocks.reset();
    m_blocksRead = false;
}

void SetPositions::TableChanged()
{
    m_matches.reset();
    m_count = -1;
    m_blocksRead = false;
}

void SetPositions::OneFewer()
{
    if (m_count > 0)
        --m_count;
}

bool SetPositions::BlockCountsServe(SqlConnection &db, const KeysetQuery &query)
{
    if (!m_blocks)
        return false;
    if (!m_blocksRead) {
        m_blocksServe = m_blocks->Read(db, query);
        m_blocksRead = true;
    }
    return m_blocksServe;
}

std::optional<BlockPositions::Place> SetPositions::BlockPlace(SqlConnection &db, const KeysetQuery &query, qint64 position)
{
    if (!BlockCountsServe(db, query))
        return std::nullopt;
    return m_blocks->Locate(position);
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
    // A filtered list whose block counts serve adds them up rather than counting its records.
    if (BlockCountsServe(db, query)) {
        m_count = m_blocks->Count();
        return m_count;
    }
    m_count = query.Count(db);
    return m_count;
}

qint64 SetPositions::PositionOf(SqlConnection &db, const KeysetQuery &query, const SqlRow &row)
{
    if (query.SortIndex() > 0 && BlockCountsServe(db, query)) {
        const SortKey key = query.KeyOf(row);
        if (const auto block = m_blocks->BlockOf(db, key))
            return block->offset + query.CountBetween(db, block->start, &key);
    }
    return query.CountBefore(db, row);
}

std::optional<SqlRow> SetPositions::NextMatch(SqlConnection &db, const KeysetQuery &query, const SqlCondition &match,
                                              const SqlRow *after, bool *served)
{
    *served = false;
    if (!m_blocks)
        return std::nullopt;
    const KeysetQuery matching = query.Narrowed(match);
    if (!m_matches || m_matches->sql != match.sql || m_matches->params != match.params) {
        m_matches = MatchBlocks{match.sql, match.params, BlockPositions::For(query.Table(), QStringLiteral("Date"), matching.Where()), false};
        m_matches->serve = m_matches->blocks && m_matches->blocks->Read(db, matching);
    }
    if (!m_matches->serve)
        return std::nullopt;
    *served = true;
    BlockPositions &blocks = *m_matches->blocks;
    // The number of matches up to the row: those of the blocks before its own, those of its block up
    // to it, and the row itself when it matches.
    qint64 next = 0;
    if (after) {
        const SortKey key = matching.KeyOf(*after);
        const auto block = blocks.BlockOf(db, key);
        if (!block) {
            *served = false;
            return std::nullopt;
        }
        next = block->offset + matching.CountBetween(db, block->start, &key)
               + (matching.ReadById(db, key.id, matching.Where()) ? 1 : 0);
    }
    const auto place = blocks.Locate(next);
    if (!place)
        return std::nullopt;
    const std::vector<qint64> ids = matching.IdsFrom(db, place->offset, 1, false, &place->start);
    if (ids.empty())
        return std::nullopt;
    return matching.ReadById(db, ids.front());
}
