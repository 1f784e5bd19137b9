// Makes a large ledger for measurements: a lifetime of a household's income and expenses.
#pragma once

#include <QString>

struct LedgerSize
{
    int moneyRecords = 1000000;   // over twenty years
    int otherRecords = 10000;     // in each of the other eight tables
    bool crowded = false;         // every income/expense record in one month, written in no date order
};

// Lays an installation in folder (when none is there) and fills its empty tables. False with a reason on failure.
bool MakeLedger(const QString &folder, const LedgerSize &size, QString *error);

// The benchmarks' ledger: its size ($ZARVEL_BENCH_RECORDS income/expense records, default 1,000,000)
// and its folder ($ZARVEL_BENCH_LEDGER, default bench-ledger, or bench-ledger-<records> for another
// size, in the build folder above the benchmark programs').
LedgerSize BenchLedgerSize();
QString BenchLedgerFolder(const QString &programFolder, const LedgerSize &size);
