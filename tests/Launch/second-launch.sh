#!/usr/bin/env bash
# A second launch while Dormio runs says so on the terminal, asks the running copy to come forward and
# ends with status 0; the running copy keeps running.
set -euo pipefail
dormio=$1
work=$(mktemp -d)
first=""
cleanup() {
  if [ -n "$first" ]; then kill "$first" 2>/dev/null && wait "$first" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
for folder in home config data cache runtime support; do mkdir -p "$work/$folder"; done
chmod 700 "$work/runtime"
: >"$work/power.log"
: >"$work/assertions.txt"
launch() {
  env -i PATH="$PATH" LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=offscreen DORMIO_SUPPORT_DIR="$work/support" \
    DORMIO_LOG_FIXTURE="$work/power.log" DORMIO_ASSERTIONS_FIXTURE="$work/assertions.txt" "$dormio"
}
launch >"$work/first.out" 2>&1 &
first=$!
for _ in $(seq 200); do
  [ -S "$work/runtime/dormio.sock" ] && break
  kill -0 "$first" 2>/dev/null || { echo "the first copy ended early:" >&2; cat "$work/first.out" >&2; exit 1; }
  sleep 0.1
done
[ -S "$work/runtime/dormio.sock" ] || { echo "the first copy never listened" >&2; exit 1; }
status=0
launch >"$work/second.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || { echo "the second launch ended with status $status" >&2; exit 1; }
grep -qx "Dormio is already running: its window has been brought forward." "$work/second.out" || {
  echo "the second launch said:" >&2; cat "$work/second.out" >&2; exit 1; }
kill -0 "$first" || { echo "the running copy ended" >&2; exit 1; }
