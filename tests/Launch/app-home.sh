# Sourced by the launch tests: a home of the test's own for a build-tree Dormio in normal mode, a way to
# start it there and a way to end it that leaves nothing running. Needs `dormio` set to the executable.
work=$(mktemp -d)
started=()
for folder in home config data cache runtime support; do mkdir -p "$work/$folder"; done
chmod 700 "$work/runtime"
: >"$work/power.log"
: >"$work/assertions.txt"
socket="$work/runtime/dormio.sock"
# Where the power log and the assertions are read from; a test that empties the list has the system's read.
fixtures=(DORMIO_LOG_FIXTURE="$work/power.log" DORMIO_ASSERTIONS_FIXTURE="$work/assertions.txt")

fail() {
  echo "$1" >&2
  exit 1
}

# Runs Dormio in the test's home with the variables given as NAME=value before the arguments; it takes
# over the calling (sub)shell, so that `launch &` leaves Dormio's own pid in $!.
launch() {
  local variables=()
  while [ $# -gt 0 ] && [[ $1 == *=* ]]; do
    variables+=("$1")
    shift
  done
  exec env -i PATH="$PATH" LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=offscreen DORMIO_SUPPORT_DIR="$work/support" "${fixtures[@]}" "${variables[@]}" \
    "$dormio" "$@"
}

# Starts Dormio in the background, its output in $work/$1.out, and waits until it listens on its socket.
# Sets `app` to its pid.
start_app() {
  local name=$1
  shift
  launch "$@" >"$work/$name.out" 2>&1 &
  app=$!
  started+=("$app")
  for _ in $(seq 300); do
    [ -S "$socket" ] && return 0
    kill -0 "$app" 2>/dev/null || fail "Dormio ended before it listened: $(cat "$work/$name.out")"
    sleep 0.1
  done
  fail "Dormio never listened on its socket"
}

# Waits at most $2 seconds for the process $1 to end; gives its status, 124 when it still runs.
wait_for() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
  kill -0 "$pid" 2>/dev/null && return 124
  local status=0
  wait "$pid" || status=$?
  return $status
}

# Whatever the test started and left running is killed; a test that left something says so.
end_started() {
  local status=$? left=()
  for pid in "${started[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then
      left+=("$pid")
      kill -KILL "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$work"
  if [ ${#left[@]} -gt 0 ] && [ $status -eq 0 ]; then
    echo "the test left Dormio running: ${left[*]}" >&2
    exit 1
  fi
  exit $status
}
trap end_started EXIT
