#!/bin/sh
# Checks the headless run of the dashboard (scripts/run-headless.sh, what scripts/run.sh does without a
# display) with the real program: which picture each command line writes and says it wrote, that a program
# waiting on a message box nobody can see is stopped and reported with code 1, and that a bad time limit is
# refused with code 2.
#   run-headless-check.sh PROGRAM WORKDIR
program=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../scripts/run-headless.sh"
rm -rf "$work" && mkdir -p "$work/cwd" || exit 1
cd "$work/cwd" || exit 1
default="$work/shots/dashboard.png"
failures=0
passes=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run NAME EXPECTED_CODE EXPECTED_PNG ARGS...: EXPECTED_PNG must be written and named as written (or, when
# empty, no picture may be said to be written).
run() {
  name=$1 code=$2 png=$3
  shift 3
  rm -rf "$work/shots" "$work/cwd"/* 2>/dev/null
  out=$(TEV_RUN_SECONDS=${seconds:-60} bash "$run" "$program" "$default" "$@" 2>&1)
  rc=$?
  if [ "$rc" != "$code" ]; then
    fail "$name: exit code $rc, expected $code"; echo "$out"; return
  fi
  if [ -n "$png" ]; then
    [ -s "$png" ] || { fail "$name: $png was not written"; echo "$out"; return; }
    echo "$out" | grep -qxF "== Screenshot written to $png" || { fail "$name: the path written was not named"; echo "$out"; return; }
  elif echo "$out" | grep -q "Screenshot written"; then
    fail "$name: a screenshot was reported as written"; echo "$out"; return
  fi
  passes=$((passes + 1))
}

run "no options" 0 "$default"
run "--size without a value" 0 "$default" --size
run "--section without a value" 0 "$default" --zh --section
run "--screenshot without a value" 0 "$default" --zh --screenshot
[ ! -e "$work/cwd/--screenshot" ] || fail "a file named --screenshot was written"
run "the caller's relative path" 0 "$work/cwd/mine/shot.png" --drawer --screenshot mine/shot.png
[ ! -e "$default" ] || fail "the default picture was written beside the caller's"
run "the caller's absolute path" 0 "$work/abs.png" --screenshot "$work/abs.png" --size 1300x800
run "unwritable path" 2 "" --screenshot /proc/no-such-dir/shot.png

# A limit that is not a positive whole number of seconds is refused before anything starts.
for bad in 0 00 -1 abc 1.5 " 5"; do
  start=$(date +%s)
  seconds=$bad run "TEV_RUN_SECONDS='$bad'" 2 ""
  echo "$out" | grep -q "TEV_RUN_SECONDS must be a positive whole number" || fail "TEV_RUN_SECONDS='$bad': not explained"
  [ $(($(date +%s) - start)) -lt 5 ] || fail "TEV_RUN_SECONDS='$bad': something was started"
done
# An empty screenshot path asks for no picture: the program stays open, and is stopped with that said.
seconds=4 run "empty --screenshot" 1 "" --screenshot ""
echo "$out" | grep -q "empty screenshot path" || fail "empty --screenshot: the cause was not said"
echo "$out" | grep -q "message box" && fail "empty --screenshot: a message box was blamed"

# Without its theme the program shows a message box and waits: stopped within the limit, code 1, and what the
# program printed is shown.
mkdir -p "$work/bare"
ln -f "$program" "$work/bare/photovoltaic" 2>/dev/null || cp "$program" "$work/bare/photovoltaic" || exit 1
program="$work/bare/photovoltaic"
seconds=8 run "no theme" 1 ""
echo "$out" | grep -q "photovoltaic-theme" || fail "no theme: the program's message was not shown"
rm -rf "$work"
echo "headless run: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
