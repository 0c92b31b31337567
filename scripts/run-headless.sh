#!/usr/bin/env bash
# run-headless.sh PROGRAM DEFAULT_PNG [OPTION...]
# Runs the dashboard PROGRAM under a virtual X server in screenshot mode, in the current directory, for at most
# $TEV_RUN_SECONDS seconds (default 30), and says where the picture was written. The script's own
# "--screenshot DEFAULT_PNG" comes before the caller's options, so that a later --screenshot of the caller's
# wins, as the program reads its options: a later occurrence overwrites an earlier one, and an option whose
# value is missing is ignored. Exits with the program's code; 1 when the program had to be stopped (without a
# display nobody can answer its message box), or when it ended with 0 but this run wrote no picture; 2, before
# anything is started, when TEV_RUN_SECONDS is not a positive whole number of seconds.
#   run-headless.sh --check-limit   only checks TEV_RUN_SECONDS (exit 0 or 2)
set -euo pipefail
limit=${TEV_RUN_SECONDS:-30}
if ! [[ $limit =~ ^[0-9]+$ && $limit =~ [1-9] ]]; then
  echo "TEV_RUN_SECONDS must be a positive whole number of seconds (the time the dashboard may run without a" \
    "display), not '$limit'." >&2
  exit 2
fi
[ "${1:-}" != --check-limit ] || exit 0
program=$1
default_png=$2
shift 2
args=(--screenshot "$default_png" "$@")

# The program's own walk over its options tells which path it will write.
shot=
i=0
while [ "$i" -lt "${#args[@]}" ]; do
  case "${args[$i]}" in
    --screenshot)
      if [ $((i + 1)) -lt "${#args[@]}" ]; then shot=${args[$((i + 1))]}; i=$((i + 1)); fi ;;
    --size | --section)
      if [ $((i + 1)) -lt "${#args[@]}" ]; then i=$((i + 1)); fi ;;
  esac
  i=$((i + 1))
done
case "$shot" in
  "" | /*) ;;
  *) shot=$PWD/$shot ;;
esac

stamp=$(mktemp)
trap 'rm -f "$stamp"' EXIT
echo "== No display: running $program under a virtual X server in screenshot mode (at most $limit s)"
set +e
xvfb-run -a -s "-screen 0 2560x1600x24 -dpi 96" timeout -k 5 "$limit" "$program" "${args[@]}"
rc=$?
set -e
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
  if [ -z "$shot" ]; then
    echo "The dashboard was given an empty screenshot path, so it took no screenshot and stayed open; it was" \
      "stopped after $limit s." >&2
  else
    echo "The dashboard did not end within $limit s and was stopped; no screenshot was written. It ends by itself" \
      "once its screenshot is saved, unless it is waiting on a message box (what it printed is above), which" \
      "nobody can answer without a display; TEV_RUN_SECONDS gives it more time." >&2
  fi
  exit 1
fi
if [ "$rc" -eq 126 ] || [ "$rc" -eq 127 ]; then
  echo "The dashboard could not be started ($program, code $rc); no screenshot was written." >&2
  exit "$rc"
fi
if [ "$rc" -eq 0 ] && [ -n "$shot" ] && [ -f "$shot" ] && [ "$shot" -nt "$stamp" ]; then
  echo "== Screenshot written to $shot"
elif [ "$rc" -eq 0 ]; then
  echo "The dashboard ended with code 0, but this run wrote no screenshot." >&2
  exit 1
else
  echo "The dashboard ended with code $rc; no screenshot was written." >&2
fi
exit "$rc"
