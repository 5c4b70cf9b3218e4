#!/usr/bin/env bash
# `cmake --install` into a folder named like a bundle makes one: Info.json with the application's keys
# and a Manifest.json that matches every installed file (the release tool packs only a bundle whose
# manifest matches). Any other prefix gets neither file.
set -euo pipefail
cmake=$1
build=$2
release=$3
version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$1" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$work/Dormio.app" >/dev/null
bundle=$work/Dormio.app
[ -x "$bundle/bin/dormio" ] || fail "no executable in the bundle"
tr -d ' \n' <"$bundle/Info.json" >"$work/info"
for pair in '"CFBundleName":"Dormio"' "\"CFBundleShortVersionString\":\"$version\"" '"CFBundleIdentifier":"'; do
  grep -qF "$pair" "$work/info" || fail "Info.json lacks $pair: $(cat "$bundle/Info.json")"
done
tr -d ' \n' <"$bundle/Manifest.json" | grep -qF '"path":"bin/dormio"' ||
  fail "Manifest.json lists no executable: $(head -c 400 "$bundle/Manifest.json")"
"$release" pack "$bundle" "$work/Dormio.zip" >/dev/null || fail "the installed bundle does not match its manifest"

"$cmake" --install "$build" --prefix "$work/plain" >/dev/null
[ -x "$work/plain/bin/dormio" ] || fail "no executable in the plain install"
[ ! -e "$work/plain/Info.json" ] && [ ! -e "$work/plain/Manifest.json" ] || fail "a plain install holds bundle files"
