#!/usr/bin/env bash
# bench/pg-bench.sh [--fresh] [benchmark options…]: bench_books and bench_stats with every operation on
# the bench ledger's file and on its copy on a private PostgreSQL server, side by side, each beside its
# floor. Needs a built tree.
#
# The server runs from $ZARVEL_BENCH_PGFOLDER (default build/bench-pg) on port $ZARVEL_BENCH_PGPORT
# (default 54339), through tools/pg-test-server.sh, with memory for a ledger of a million records and
# its writes made durable as the ledger file's are. It is stopped afterwards but its folder is kept:
# the ledgers moved there on the first run are found again by the next. --fresh starts it empty.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZARVEL_BUILD:-$root/build}"
folder="${ZARVEL_BENCH_PGFOLDER:-$build/bench-pg}"
port="${ZARVEL_BENCH_PGPORT:-54339}"
fresh=0
if [ "${1:-}" = --fresh ]; then fresh=1; shift; fi

settings=(
  -c fsync=on                      # the tests' server does without; a bench of edits must not
  -c shared_buffers=1GB            # the two bench ledgers with their indexes, whole
  -c effective_cache_size=8GB
  -c work_mem=64MB
  -c maintenance_work_mem=512MB    # the indexes laid after a ledger is moved there
  -c max_wal_size=8GB              # a ledger moved in one transaction without forced checkpoints
  -c checkpoint_timeout=30min
  -c random_page_cost=1.1          # the ledger is in memory
)

server="$root/tools/pg-test-server.sh"
if [ "$fresh" = 1 ] || [ ! -d "$folder/data" ]; then
  "$server" start "$folder" "$port" "${settings[@]}"
else
  "$server" restart "$folder" "$port" "${settings[@]}"
fi
trap '"$server" halt "$folder"' EXIT

export ZARVEL_BENCH_PG="$folder:$port"
"$build/bench/bench_books" "$@"
"$build/bench/bench_stats" "$@"
