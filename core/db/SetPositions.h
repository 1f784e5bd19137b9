// Where the records of a record set stand: their number, counted once and kept until the table
// changes, and the block that holds a position, where the ledger's block counts serve the set.
#pragma once

#include "db/BlockPositions.h"
#include "db/KeysetQuery.h"

#include <memory>
#include <optional>

class SetPositions
{
public:
    // At the open (with the block counts of the set, when the ledger keeps any) and at the close.
    void Start(std::unique_ptr<BlockPositions> blocks);
    void Stop();
    // Another set or a rolled-back transaction changed the table: count and blocks read again.
    void TableChanged();
    // The set changed the table itself: the blocks, and those of the last search's matches, read
    // again; the count is kept up by the set.
    void OwnChange()
    {
        m_blocksRead = false;
        m_matches.reset();
    }
    void ForgetCount() { m_count = -1; }
    void LearnCount(qint64 count) { m_count = count; }
    void OneFewer();

    // The number of records of the keyset: the kept count of the table (or of the filter's records)
    // less those that joined since the open, the block counts added up, or counted.
    qint64 Count(SqlConnection &db, const KeysetQuery &query);
    // The block and the place within it of a position, where the block counts serve; nothing where
    // they do not (the caller then walks the order).
    std::optional<BlockPositions::Place> BlockPlace(SqlConnection &db, const KeysetQuery &query, qint64 position);

    // The position of the keyset's record with the row's key: from the start of its block where the
    // block counts serve, else counted from the start of the keyset.
    qint64 PositionOf(SqlConnection &db, const KeysetQuery &query, const SqlRow &row);

    // The first record of the keyset after the row's key (from the start without one) that also
    // matches, found from the block counts of the records that match both: the blocks without one are
    // passed over unread. *served is false where those counts do not serve (the caller then walks).
    std::optional<SqlRow> NextMatch(SqlConnection &db, const KeysetQuery &query, const SqlCondition &match,
                                    const SqlRow *after, bool *served);

private:
    bool BlockCountsServe(SqlConnection &db, const KeysetQuery &query);

    qint64 m_count = -1;
    std::unique_ptr<BlockPositions> m_blocks;
    bool m_blocksRead = false;
    bool m_blocksServe = false;

    // The block counts of the last search's matches, kept while the table stays as it was.
    struct MatchBlocks
    {
        QString sql;
        std::vector<SqlValue> params;
        std::unique_ptr<BlockPositions> blocks;
        bool serve = false;
    };
    std::optional<MatchBlocks> m_matches;
};
