#!/usr/bin/env bash
# What `cmake --install` lays down: the program, the template of every user's ledger, and a desktop
# entry, metadata and icon that name each other.
set -euo pipefail
build="$1"
cmake="${2:-cmake}"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for file in bin/zarvel share/zarvel-template/schema.sql share/zarvel-template/Data/Item.kwl \
            share/zarvel-template/Picture/Morvane.bmp share/applications/org.zarvel.zarvel.desktop \
            share/metainfo/org.zarvel.zarvel.metainfo.xml share/icons/hicolor/scalable/apps/zarvel.svg \
            share/mime/packages/org.zarvel.zarvel.xml; do
  [ -e "$prefix/$file" ] || { echo "missing: $file" >&2; exit 1; }
done
desktop="$prefix/share/applications/org.zarvel.zarvel.desktop"
grep -qx 'Exec=zarvel --home --import %f' "$desktop" || { echo "the launcher does not start the user's ledger" >&2; exit 1; }
for type in text/csv application/vnd.openxmlformats-officedocument.spreadsheetml.sheet application/x-qw application/x-ofx; do
  grep -q "^MimeType=.*$type;" "$desktop" || { echo "the launcher does not offer to open $type" >&2; exit 1; }
done
grep -q '<glob pattern="\*.ofx"/>' "$prefix/share/mime/packages/org.zarvel.zarvel.xml" || { echo "OFX files are not named" >&2; exit 1; }
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop"
fi
grep -qx 'Icon=zarvel' "$desktop" || { echo "the launcher does not name the icon" >&2; exit 1; }
grep -q '^Name\[zh_CN\]=' "$desktop" || { echo "the launcher has no Chinese name" >&2; exit 1; }
grep -q '<launchable type="desktop-id">org.zarvel.zarvel.desktop</launchable>' \
  "$prefix/share/metainfo/org.zarvel.zarvel.metainfo.xml" || { echo "the metadata does not name the launcher" >&2; exit 1; }
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.zarvel.zarvel.metainfo.xml" >/dev/null
fi
echo "installation layout complete"
