// Where this installation's ledger is: the ledger file in its data folder, or a ledger on a server
// that several computers share. Kept in Data/Place.kwl, on this computer only; the server's password
// is never written there (the desktop's secret store keeps it, or nobody does).
#pragma once

#include "db/PgConnection.h"

struct LedgerPlace
{
    bool onServer = false;
    PgSettings server;  // its password left empty

    bool operator==(const LedgerPlace &other) const;
};

// The place chosen last; the ledger file when none was chosen or the file cannot be read.
LedgerPlace ReadLedgerPlace();
// False, with the reason in *failure, when it cannot be written; the old choice then stays.
bool WriteLedgerPlace(const LedgerPlace &place, QString *failure);
