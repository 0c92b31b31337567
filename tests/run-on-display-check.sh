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
echo "display wrapper: 2 passed, 0 failed"
