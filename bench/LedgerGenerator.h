// Makes a large ledger for measurements: a lifetime of a household's income and expenses.
#pragma once

#include <QString>

struct LedgerSize
{
    int moneyRecords = 1000000;   // over twenty years
    int otherRecords = 10000;     // in each of the other eight tables
};

// Lays an installation in folder (when none is there) and fills its empty tables. False with a reason on failure.
bool MakeLedger(const QString &folder, const LedgerSize &size, QString *error);
