#!/usr/bin/env bash
# run-headless.sh PROGRAM DEFAULT_PNG [OPTION...]
# Runs the dashboard PROGRAM under a virtual X server in screenshot mode, in the current directory, for at most
# $TEV_RUN_SECONDS seconds (default 30), and says where the picture was written. The script's own
# "--screenshot DEFAULT_PNG" comes before the caller's options, so that a later --screenshot of the caller's
# wins, as the program reads its options: a later occurrence overwrites an earlier one, and an option whose
# value is missing is ignored. Exits with the program's code; 1 when the program had to be stopped (without a
# display nobody can answer its message box), or when it ended with 0 but this run wrote no picture.
set -euo pipefail
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

limit=${TEV_RUN_SECONDS:-30}
stamp=$(mktemp)
trap 'rm -f "$stamp"' EXIT
echo "== No display: running $program under a virtual X server in screenshot mode (at most $limit s)"
set +e
xvfb-run -a -s "-screen 0 2560x1600x24 -dpi 96" timeout -k 5 "$limit" "$program" "${args[@]}"
rc=$?
set -e
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
  echo "The dashboard did not end within $limit s and was stopped (without a display nobody can answer a" \
    "message box); no screenshot was written." >&2
  exit 1
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
