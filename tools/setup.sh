# Shared by run.sh and test.sh: installs the Debian packages the build needs and builds.
# Sourced, not run. Both steps do nothing when there is nothing to do.

ZARVEL_PACKAGES="g++ cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-translations-l10n \
libsqlite3-dev libzip-dev libxlsxwriter-dev libsodium-dev libpq-dev qtkeychain-qt6-dev libbenchmark-dev fonts-noto-cjk breeze-icon-theme xvfb xauth"

# What only the tests use: the private PostgreSQL server of the server ledger's suites, and the
# package's checks (cpack's dependency finding and lintian).
ZARVEL_TEST_PACKAGES="postgresql lintian dpkg-dev file"

# zarvel_ensure_packages [more packages]: installs what the build needs, and the packages named, when missing.
zarvel_ensure_packages() {
  local missing=()
  local package
  for package in $ZARVEL_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please install as root: apt-get install ${missing[*]}" >&2; return 1; }
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# zarvel_build <root> [target...]: builds the named targets, or everything when none is named.
zarvel_build() {
  local root="$1"
  shift
  if [ ! -f "$root/build/build.ninja" ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  if [ $# -gt 0 ]; then
    cmake --build "$root/build" --target "$@"
  else
    cmake --build "$root/build"
  fi
}
