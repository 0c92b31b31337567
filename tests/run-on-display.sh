#!/bin/sh
# Runs one test executable on the X display. A virtual X server that many tests connect to at once can refuse
# a new connection now and then; a run that ended because the display could not be reached is started again
# (at most three more times). Any other failure is reported as it is, on its first run.
log=$(mktemp) || exit 1
trap 'rm -f "$log"' EXIT
tries=0
while :; do
  "$@" >"$log" 2>&1
  rc=$?
  if [ "$rc" -ne 0 ] && [ "$tries" -lt 3 ] && grep -q 'could not connect to display' "$log" &&
     ! grep -q '^PASS\|^FAIL!\|^Totals:' "$log"; then
    tries=$((tries + 1))
    echo "run-on-display: the display refused the connection; starting again ($tries)" >&2
    sleep 1
    continue
  fi
  cat "$log"
  exit "$rc"
done
