// Where a position of the income/expense list falls, found from the block counts the ledger keeps
// (MoneyBlocks, MoneyBlockParts) instead of by walking the list up to it: the block that holds the
// position and the place within it. Reaching any page, or the position of any record, then walks at
// most one block.
//
// It serves the list sorted by date, unfiltered or filtered on any AND of comparisons of the date,
// the item and the member ("Date>#2003-5-1#", "Item='餐饮' AND Member='妈妈'", two dates), leaving
// out the records above the highest ID at the open. For any other list it declines, and the caller
// walks.
#pragma once

#include "db/KeysetQuery.h"

#include <QMultiHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>


class BlockPositions
{
public:
    // The positions of the list of this table, sort column and condition, or nothing when the ledger
    // keeps no counts that serve such a list.
    static std::unique_ptr<BlockPositions> For(const QString &table, const QString &sortColumn,
                                               const SqlCondition &condition);

    // Reads the block counts of the keyset's records. False when they cannot serve this ledger (a date
    // stored as bytes, counts that do not add up).
    bool Read(SqlConnection &db, const KeysetQuery &query);

    // The number of the list's records, as read.
    qint64 Count() const { return m_count; }

    // The start of the block that holds the position and the position's place within the block.
    struct Place
    {
        SortKey start;
        qint64 offset = 0;
    };
    std::optional<Place> Locate(qint64 position) const;
    // The start of the block that holds the key, and the position of the block's first record of the
    // list; nothing when the ledger's blocks changed since the read.
    std::optional<Place> BlockOf(SqlConnection &db, const SortKey &key) const;

private:
    explicit BlockPositions(SqlCondition condition) : m_condition(std::move(condition)) {}

    struct Block
    {
        SortKey start;
        qint64 count = 0;
        bool exact = false;  // counted record by record, the newer records already left out
    };
    bool ReadBlocks(SqlConnection &db);
    bool ReadParts(SqlConnection &db);
    void TakeNewer(SqlConnection &db, const KeysetQuery &query);
    std::optional<size_t> IndexOf(const SortKey &start) const;

    SqlCondition m_condition;
    QString m_dateTerms;              // the filter's comparisons of the date, joined by AND
    std::vector<SqlValue> m_dateParams;
    QString m_partTerms;              // its comparisons of the item and the member
    std::vector<SqlValue> m_partParams;

    std::vector<Block> m_blocks;      // in list order
    std::vector<int> m_state;         // per block: 1 every record meets the date terms, 0 none, -1 some
    std::vector<qint64> m_starts;     // the position of each block's first record of the list
    QMultiHash<qint64, size_t> m_byStartId;
    qint64 m_count = 0;
};
