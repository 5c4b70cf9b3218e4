#!/usr/bin/env bash
# The generated week and listing that `make run` reads name no pid a real process can have, so a Quit in
# the app can never signal one of the machine's processes.
set -euo pipefail
generator=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" --days 2 --mb 1 --seed 7 --out "$work/power.log" --assertions "$work/assertions.txt" >/dev/null
limit=4194304 # Linux's absolute pid limit: no pid reaches it
pids=$( { grep -oE 'PID [0-9]+\(' "$work/power.log" | grep -oE '[0-9]+'
          grep -oE '^ +pid [0-9]+\(' "$work/assertions.txt" | grep -oE '[0-9]+'
          grep -oE 'Created for PID: [0-9]+' "$work/assertions.txt" | grep -oE '[0-9]+'; } | sort -un)
[ -n "$pids" ] || { echo "the generated files list no pid" >&2; exit 1; }
grep -q '^ *pid ' "$work/assertions.txt" || { echo "the listing names no holder" >&2; exit 1; }
for pid in $pids; do
  if [ "$pid" -ne 0 ] && [ "$pid" -lt "$limit" ]; then
    echo "pid $pid could belong to a real process" >&2
    exit 1
  fi
done
