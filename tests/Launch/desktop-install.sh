#!/usr/bin/env bash
# `cmake --install` lists Dormio among the desktop's applications: the entry, valid, whose Exec names the
# installed program by its absolute path (quoted where the path needs it), and the icon at every size of the
# theme, under a plain prefix, a prefix with a space and a bundle.
set -euo pipefail
cmake=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$1" >&2; exit 1; }
id=app.dormio.Dormio

check_install() {
  local prefix=$1 exec_line=$2
  "$cmake" --install "$build" --prefix "$prefix" >/dev/null
  local entry="$prefix/share/applications/$id.desktop"
  [ -f "$entry" ] || fail "no desktop entry under $prefix"
  grep -qxF "$exec_line" "$entry" || fail "the entry under $prefix says $(grep '^Exec=' "$entry"), not $exec_line"
  grep -qxF "Icon=$id" "$entry" || fail "the entry under $prefix names no icon $id"
  desktop-file-validate "$entry" || fail "the entry under $prefix does not validate"
  for size in 16 22 24 32 48 64 128 256 512; do
    local picture="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$picture" ] || fail "no ${size}-pixel icon under $prefix"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    local width height
    width=$(od -An -tu1 -j16 -N4 "$picture" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
    height=$(od -An -tu1 -j20 -N4 "$picture" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
    [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "the ${size}-pixel icon is $width × $height"
  done
}

check_install "$work/usr" "Exec=$work/usr/bin/dormio"
check_install "$work/with space" "Exec=\"$work/with space/bin/dormio\""
check_install "$work/Dormio.app" "Exec=$work/Dormio.app/bin/dormio"
grep -qF "\"share/applications/$id.desktop\"" "$work/Dormio.app/Manifest.json" ||
  fail "the bundle's manifest does not list the desktop entry"
