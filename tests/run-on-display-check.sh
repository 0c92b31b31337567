#!/bin/sh
# Checks the display wrapper: a refused connection is tried again until the test runs; a test that ran and
# failed is reported at once with its own exit code, even when its output mentions the display.
wrapper=$(dirname "$0")/run-on-display.sh
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
cat >"$dir/refused-twice.sh" <<'EOS'
n=$(($(cat "$1" 2>/dev/null || echo 0) + 1)); echo $n >"$1"
[ $n -ge 3 ] || { echo "qt.qpa.xcb: could not connect to display :99"; exit 134; }
echo "Totals: 1 passed, 0 failed"
EOS
cat >"$dir/real-failure.sh" <<'EOS'
n=$(($(cat "$1" 2>/dev/null || echo 0) + 1)); echo $n >"$1"
echo "FAIL!  : tst::case() could not connect to display (a message of the test itself)"; exit 3
EOS
sh "$wrapper" sh "$dir/refused-twice.sh" "$dir/a" >/dev/null 2>&1 || { echo "refused connections were not retried"; exit 1; }
[ "$(cat "$dir/a")" = 3 ] || { echo "expected three runs, got $(cat "$dir/a")"; exit 1; }
sh "$wrapper" sh "$dir/real-failure.sh" "$dir/b" >/dev/null 2>&1
rc=$?
[ "$rc" = 3 ] || { echo "a real failure gave exit code $rc, not 3"; exit 1; }
[ "$(cat "$dir/b")" = 1 ] || { echo "a real failure was run $(cat "$dir/b") times"; exit 1; }
# A test of its own display sees another server than the shared one, and the server ends with the test.
cat >"$dir/own-display.sh" <<'EOS'
echo "$DISPLAY" >"$1"
[ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]
EOS
TEV_OWN_DISPLAY=1 sh "$wrapper" sh "$dir/own-display.sh" "$dir/c" >/dev/null 2>&1 ||
  { echo "the test's own display was not there"; exit 1; }
own=$(cat "$dir/c")
[ -n "$own" ] && [ "$own" != "${DISPLAY:-}" ] || { echo "the test ran on display '$own', not one of its own"; exit 1; }
n=0
while [ -e "/tmp/.X11-unix/X${own#:}" ] && [ "$n" -lt 100 ]; do sleep 0.05; n=$((n + 1)); done
[ ! -e "/tmp/.X11-unix/X${own#:}" ] || { echo "the test's own display $own outlived the test"; exit 1; }
echo "display wrapper: 3 passed, 0 failed"
