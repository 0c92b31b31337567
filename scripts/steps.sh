# Sourced by run.sh and test.sh: runs one step with its output in a log file and prints one line for it.
# On failure the log's last lines are shown and the script stops.
mkdir -p build-logs
step() {
  local title=$1 log=build-logs/$2.log
  shift 2
  echo "== $title (log: $log)"
  if ! "$@" >"$log" 2>&1; then
    echo "FAILED: $title; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}
