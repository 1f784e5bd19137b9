// The bench ledgers on a PostgreSQL server as well as in their files. $ZARVEL_BENCH_PG=<socket
// folder>:<port> names the server (the role and password of tools/pg-test-server.sh's, or
// $ZARVEL_BENCH_PGUSER and $ZARVEL_BENCH_PGPASSWORD). Each bench ledger is moved there once with the
// program's own migration, into a database of its own, and found there again on later runs.
#pragma once

#include "LedgerGenerator.h"

#include "db/PgConnection.h"

#include <QString>
#include <optional>

// The server's settings for the ledger of that size (crowded or not), none when no server is named.
// Its database is zarvel_bench ($ZARVEL_BENCH_PGDATABASE), with _<records> for another size than the
// default and _crowded for the crowded ledger.
std::optional<PgSettings> BenchServerLedger(const LedgerSize &size);

// Makes the server's database a copy of the ledger file in folder, unless it holds it already (as
// many records in each of the nine tables, and the kept figures): a database holding something else
// is dropped and made again. The migration's time is printed. False, with the reason, when the
// copy cannot be made.
bool CopyLedgerToServer(const QString &folder, const PgSettings &settings, QString *error);
