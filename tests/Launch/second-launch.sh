#!/usr/bin/env bash
# A second launch while Dormio runs says so on the terminal, asks the running copy to come forward and
# ends with status 0; the running copy keeps running until the test ends it.
set -euo pipefail
dormio=$1
. "$(dirname "$0")/app-home.sh"

start_app first
first=$app
status=0
(launch) >"$work/second.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the second launch ended with status $status"
grep -qx "Dormio is already running: its window has been brought forward." "$work/second.out" ||
  fail "the second launch said: $(cat "$work/second.out")"
kill -0 "$first" || fail "the running copy ended"
kill -TERM "$first"
wait_for "$first" 10 || fail "the running copy did not end on SIGTERM (status $?)"
