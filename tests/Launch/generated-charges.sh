#!/usr/bin/env bash
# The generated week's charge moves only at the lines that end a sleep: a going-to-sleep or start-up line
# carries the charge of the state line before it. The reader sees the charge only on those lines, so a
# charge that ran down unseen while the machine was up would show as a night's battery use.
set -euo pipefail
generator=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for seed in 1 2 3; do
  "$generator" --days 7 --mb 1 --seed "$seed" --end 1796800000 --out "$work/power.log" >/dev/null
  awk -F'\t' -v seed="$seed" '
    {
      type = substr($1, 27); sub(/ +$/, "", type)
      if (type != "Sleep" && type != "Wake" && type != "DarkWake" && type != "Start") next
      if (!match($2, /Charge:[0-9]+%/)) next
      charge = substr($2, RSTART + 7, RLENGTH - 8) + 0
      if ((type == "Sleep" || type == "Start") && seen && charge != last) {
        printf "seed %s: %s at %s%% after %s%%: %s\n", seed, type, charge, last, $0 > "/dev/stderr"
        bad = 1
      }
      last = charge; seen = 1; lines++
    }
    END { if (lines < 50) { print "seed " seed ": only " lines " state lines" > "/dev/stderr"; bad = 1 }
          exit bad }' "$work/power.log"
done
