#!/usr/bin/env bash
# `dormio --help` and `--version` print and end at once, without a display and without starting the app:
# no single-instance socket, nothing written in the home folder.
set -euo pipefail
dormio=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$1" >&2; exit 1; }
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
run() {
  env -i PATH="$PATH" LANG=C.UTF-8 HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" timeout 10 "$dormio" "$@"
}

run --version >"$work/out" 2>"$work/err" || fail "--version ended with status $?: $(cat "$work/err")"
[ "$(cat "$work/out")" = "Dormio $version" ] || fail "--version printed: $(cat "$work/out")"
for option in --help -h; do
  run "$option" >"$work/out" 2>"$work/err" || fail "$option ended with status $?: $(cat "$work/err")"
  grep -q "^Usage: .*dormio \[options\]" "$work/out" || fail "$option printed: $(cat "$work/out")"
  grep -q -- "--version" "$work/out" || fail "$option does not list --version: $(cat "$work/out")"
done
[ ! -s "$work/err" ] || fail "--help said on stderr: $(cat "$work/err")"
left=$(find "$work/home" "$work/runtime" -mindepth 1)
[ -z "$left" ] || fail "the app left files: $left"
