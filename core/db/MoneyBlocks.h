// The income/expense list cut into blocks of its order (by date, then ID), each with its number of
// records, and per item and member: the list reaches any position, under a filter on dates, items and
// members, by adding up block counts and walking within one block, whatever the size of the ledger or
// however its records crowd into one month or one day.
//
// MoneyBlocks holds a row per block: the key (date, ID) where it starts and its number of records.
// The first block starts below every key (a date of minus infinity), so every record falls in one.
// MoneyBlockParts holds the same count per block, item and member. Triggers keep both current: a
// record counts in the last block that starts at or before its key; a block grown past twice the
// block size splits in two at its middle (its parts recounted from the index), and an emptied block
// joins the one before it.
#pragma once

class SqlConnection;

// Records per block after a split; a block splits when it holds more than twice as many.
constexpr int kMoneyBlockSize = 8192;

// Lays the two tables and their triggers afresh, filled from the records (blocks of blockSize records
// in list order). Runs inside the caller's transaction; throws DbError.
void LayMoneyBlocks(SqlConnection &db, int blockSize = kMoneyBlockSize);
