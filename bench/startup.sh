#!/usr/bin/env bash
# bench/startup.sh [runs]: whole-process start-up to the painted home page, on a ledger of a thousand
# income/expense records and on the large one ($ZARVEL_BENCH_RECORDS, default 1,000,000; both made on
# first use), under Xvfb, with the peak resident memory of each. Needs a built tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-10}"
records="${ZARVEL_BENCH_RECORDS:-1000000}"
if [ "$records" = 1000000 ]; then ledger="${ZARVEL_BENCH_LEDGER:-$root/build/bench-ledger}"
else ledger="${ZARVEL_BENCH_LEDGER:-$root/build/bench-ledger-$records}"; fi
small="$root/build/bench-ledger-1000"
[ -f "$small/Data/Kinward.db" ] || "$root/build/bench/zarvel-make-ledger" "$small" 1000 100
[ -f "$ledger/Data/Kinward.db" ] || "$root/build/bench/zarvel-make-ledger" "$ledger" "$records"

measure() {
  local folder="$1" best=999999 total=0 start end ms memory=0 kb
  "$root/build/bench/zarvel-startup" "$folder" 2>/dev/null  # warm the file cache (and lay the kept figures)
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    kb=$("$root/build/bench/zarvel-startup" "$folder" 2>&1 >/dev/null | awk '/^peak-rss-kb/ {print $2}')
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    total=$(( total + ms ))
    [ "$ms" -lt "$best" ] && best=$ms
    [ "${kb:-0}" -gt "$memory" ] && memory=$kb
  done
  echo "$(( total / runs )) $best $memory"
}
read -r smallMean smallBest smallMemory < <(measure "$small")
read -r bigMean bigBest bigMemory < <(measure "$ledger")
echo "1,000 records:        mean ${smallMean} ms, best ${smallBest} ms, peak memory $(( smallMemory / 1024 )) MB"
echo "$records records: mean ${bigMean} ms, best ${bigBest} ms, peak memory $(( bigMemory / 1024 )) MB"
awk -v a="$bigMean" -v b="$smallMean" 'BEGIN { printf "ratio of means: %.2f\n", a / b }'
echo "memory above the small ledger's: $(( (bigMemory - smallMemory) / 1024 )) MB"
