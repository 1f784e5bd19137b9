#!/usr/bin/env bash
# tools/screenshots.sh [output folder]: screenshots of the home page and every panel, on an empty
# installation and on a ledger of 250 income/expense records (needs a built tree: ./test.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/screenshots}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$root/build/tools/zarvel-install" "$root/res/install" "$work/empty"
"$root/build/bench/zarvel-make-ledger" "$work/ledger" 250 30
for kind in empty ledger; do
  xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/tools/zarvel-screens" "$work/$kind" "$out/$kind"
done
