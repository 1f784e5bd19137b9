#!/usr/bin/env bash
# bench/startup.sh [runs]: whole-process start-up to the painted home page, on an empty installation
# and on the one-million-record ledger (made on first use), under Xvfb. Needs a built tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-10}"
ledger="${ZARVEL_BENCH_LEDGER:-$root/build/bench-ledger}"
empty="$(mktemp -d)"
trap 'rm -rf "$empty"' EXIT
"$root/build/tools/zarvel-install" "$root/res/install" "$empty"
[ -f "$ledger/Data/Kinward.db" ] || "$root/build/bench/zarvel-make-ledger" "$ledger"

measure() {
  local folder="$1" best=999999 total=0 start end ms
  "$root/build/bench/zarvel-startup" "$folder" 2>/dev/null  # warm the file cache
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$root/build/bench/zarvel-startup" "$folder" 2>/dev/null
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    total=$(( total + ms ))
    [ "$ms" -lt "$best" ] && best=$ms
  done
  echo "$(( total / runs )) $best"
}
export -f measure
read -r emptyMean emptyBest < <(measure "$empty")
read -r bigMean bigBest < <(measure "$ledger")
echo "empty ledger:      mean ${emptyMean} ms, best ${emptyBest} ms"
echo "1,000,000 records: mean ${bigMean} ms, best ${bigBest} ms"
awk -v a="$bigMean" -v b="$emptyMean" 'BEGIN { printf "ratio of means: %.2f\n", a / b }'
