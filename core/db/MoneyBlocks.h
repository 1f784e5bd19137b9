// The income/expense list cut into blocks of its order (by date, then ID), each with its number of
// records, and per item and member: the list reaches any position, under a filter on dates, items and
// members, by adding up block counts and walking within one block, whatever the size of the ledger or
// however its records crowd into one month or one day.
//
// MoneyBlocks holds a row per block: the key (date, ID) where it starts and its number of records.
// The first block starts below every key (a date of minus infinity), so every record falls in one.
// MoneyBlockParts holds the same count per block, item and member. Triggers keep both current: a
// record counts in the last block that starts at or before its key, and an emptied block joins the
// one before it. A block grown past twice the block size is cut into blocks of the size by whoever
// writes through the books, before the write commits (SplitCrowdedBlocks): once for a whole import,
// not at every record. Until then it is only slower to walk, never wrong.
#pragma once

class SqlConnection;

// Records per block after a split; a block splits when it holds more than twice as many.
constexpr int kMoneyBlockSize = 8192;

// Lays the tables and their triggers afresh, filled from the records (blocks of blockSize records in
// list order, the size kept in MoneyBlockSize). Runs inside the caller's transaction; throws DbError.
void LayMoneyBlocks(SqlConnection &db, int blockSize = kMoneyBlockSize);

// Cuts every block holding more than twice the ledger's block size into blocks of the size (the last
// one taking the rest), their parts counted again from the index. Runs inside the caller's
// transaction; throws DbError. Does nothing on a ledger without blocks.
void SplitCrowdedBlocks(SqlConnection &db);
