#!/usr/bin/env bash
# SIGTERM, as a logout or a `kill` sends it, ends Dormio the way Quit does: status 0 and its single-instance
# socket gone, so that the next launch starts at once.
set -euo pipefail
dormio=$1
. "$(dirname "$0")/app-home.sh"

start_app app
kill -TERM "$app"
status=0
wait_for "$app" 10 || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM ended Dormio with status $status: $(cat "$work/app.out")"
[ ! -e "$socket" ] || fail "Dormio left its socket behind"
