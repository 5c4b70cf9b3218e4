#!/usr/bin/env bash
# Quitting never waits for a read of the system: with a system bus that takes every connection and never
# answers, as a hung bus does, Dormio reads the journal's log and the inhibitor locks from it, and a SIGTERM
# in the middle of those reads still ends it at once, with status 0 and its socket gone.
set -euo pipefail
dormio=$1
. "$(dirname "$0")/app-home.sh"

dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" >/dev/null 2>&1 &
bus=$!
started+=("$bus")
for _ in $(seq 100); do
  [ -S "$work/bus" ] && break
  sleep 0.05
done
[ -S "$work/bus" ] || fail "the stand-in bus never listened"
kill -STOP "$bus"

fixtures=()
start_app app DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus"
# Long enough for the reads to be waiting on the bus.
sleep 1
kill -TERM "$app"
status=0
wait_for "$app" 5 || status=$?
[ "$status" -eq 0 ] || fail "Dormio did not end at once on SIGTERM during a read (status $status): $(cat "$work/app.out")"
[ ! -e "$socket" ] || fail "Dormio left its socket behind"
kill -KILL "$bus"
wait "$bus" 2>/dev/null || true
