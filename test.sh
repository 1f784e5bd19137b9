#!/usr/bin/env bash
# ./test.sh: installs what is missing, builds and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/tools/setup.sh"
zarvel_ensure_packages $ZARVEL_TEST_PACKAGES
zarvel_build "$root"
cd "$root/build"
ctest --output-on-failure -j2
