#!/bin/sh
# Runs one test executable on an X display. A virtual X server that many tests connect to at once can refuse
# a new connection now and then; a run that ended because the display could not be reached is started again
# (at most three more times). Any other failure is reported as it is, on its first run.
#
# TEV_TEST_WRAPPER, when set, is put before the test's command line (for example a memory checker:
# TEV_TEST_WRAPPER="valgrind --error-exitcode=99" ctest ...).
#
# With TEV_OWN_DISPLAY=1 the test gets a virtual X server of its own: the tests that move the pointer or
# look at what lies under it need one pointer and one stack of windows that no other test touches.
if [ "${TEV_OWN_DISPLAY:-}" = 1 ]; then
  dfile=$(mktemp) || exit 1
  xlog=$(mktemp) || exit 1
  Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp 3>"$dfile" >"$xlog" 2>&1 &
  xpid=$!
  n=0
  while [ ! -s "$dfile" ] && [ "$n" -lt 200 ] && kill -0 "$xpid" 2>/dev/null; do
    sleep 0.05
    n=$((n + 1))
  done
  if [ ! -s "$dfile" ]; then
    echo "run-on-display: the test's own virtual X server did not start:" >&2
    cat "$xlog" >&2
    kill "$xpid" 2>/dev/null
    rm -f "$dfile" "$xlog"
    exit 1
  fi
  DISPLAY=:$(head -n 1 "$dfile")
  export DISPLAY
  unset XAUTHORITY
  rm -f "$dfile" "$xlog"
  trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null' EXIT
fi
log=$(mktemp) || exit 1
trap 'rm -f "$log"; [ -z "${xpid:-}" ] || { kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; }' EXIT
tries=0
while :; do
  ${TEV_TEST_WRAPPER:-} "$@" >"$log" 2>&1
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
