#!/usr/bin/env bash
# ./run.sh [installation folder]: installs what is missing, builds, lays the installation the first
# time (default: a per-user folder) and starts Zarvel there.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/tools/setup.sh"
zarvel_ensure_packages
zarvel_build "$root" zarvel zarvel-install  # only what it runs; ./test.sh builds the rest

target="${1:-${XDG_DATA_HOME:-$HOME/.local/share}/zarvel}"
"$root/build/tools/zarvel-install" "$root/res/install" "$target"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Zarvel needs a display and none was found (DISPLAY is not set)." >&2
  echo "On a machine without a screen, run it on a virtual display:  xvfb-run -a ./run.sh ${1:-}" >&2
  exit 1
fi
cd "$target"
exec "$root/build/gui/zarvel"
