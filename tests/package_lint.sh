#!/usr/bin/env bash
# The Debian package as a household's computer gets it: lintian finds no error and no warning, the
# libraries are depended on as the binary links them, the manual page and the package's documents are
# there, and the program carries the distribution's hardening. Skipped (77) only where lintian is not
# installed.
set -euo pipefail
build="$1"
cpack="${2:-cpack}"
command -v lintian >/dev/null || { echo "lintian is not installed: the package is not checked"; exit 77; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$work"/zarvel_*.deb)"

# --fail-on makes lintian's exit say it; the listing shows what it found either way.
if ! lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
   grep -qE '^[EW]: ' "$work/lintian.log"; then
  cat "$work/lintian.log" >&2
  fail "lintian finds errors or warnings in the package"
fi

depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libsodium23 libsqlite3-0 libqt6widgets6 qt6-qpa-plugins; do
  grep -q "\b$library\b" <<<"$depends" || fail "the package does not depend on $library: $depends"
done
# Pipelines into grep -q are read whole first: grep leaving early would fail them under pipefail.
description="$(dpkg-deb -f "$deb" Description)"
grep -q '家庭理财帐本' <<<"$description" || fail "the extended description has no Chinese text"

dpkg-deb -x "$deb" "$work/root"
for file in usr/share/man/man1/zarvel.1.gz usr/share/man/zh_CN/man1/zarvel.1.gz usr/share/doc/zarvel/copyright \
            usr/share/doc/zarvel/changelog.gz usr/share/metainfo/org.zarvel.zarvel.metainfo.xml; do
  [ -s "$work/root/$file" ] || fail "missing from the package: $file"
done
page="$(zcat "$work/root/usr/share/man/man1/zarvel.1.gz")"
for option in '\\-\\-home' '\\-\\-import' '\\-\\-version' 'Data/Backup/'; do
  grep -q -- "$option" <<<"$page" || fail "the manual page does not mention $option"
done
changelog="$(zcat "$work/root/usr/share/doc/zarvel/changelog.gz")"
grep -q "^zarvel ($(dpkg-deb -f "$deb" Version))" <<<"${changelog%%$'\n'*}" ||
  fail "the changelog's newest entry is not this version"

program="$work/root/usr/bin/zarvel"
readelf -h "$program" | grep -q 'DYN (Position-Independent Executable' || fail "the program is not position-independent"
readelf -d "$program" | grep -q 'BIND_NOW' || fail "the program is not bound at start (no full RELRO)"
readelf -lW "$program" | grep -q 'GNU_RELRO' || fail "the program has no read-only relocations"
symbols="$(readelf --dyn-syms -W "$program")"
grep -q '__stack_chk_fail' <<<"$symbols" || fail "the program has no stack protector"
grep -qE '__[a-z]+_chk@' <<<"$symbols" || fail "the program calls no fortified functions (_FORTIFY_SOURCE)"
echo "package checked: $(basename "$deb")"
