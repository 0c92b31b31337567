#!/usr/bin/env bash
# Installs the Debian 12 packages that are not installed yet.
#   install-deps.sh         what building and running the dashboard needs (with a virtual X server for a
#                           machine without a display)
#   install-deps.sh test    also what the tests and benchmarks need (software GL, clang, Qt's .ui loader for the
#                           page benchmark, Qt Charts and QCustomPlot for the chart benchmark, the fallback font
#                           of the tests of texts drawn by more than one font)
# The package manager's output goes to build-logs/install-deps.log (install-deps-test.log for the test set), one
# line per step is printed. TEV_RERUN names the command to run again after a root install (the script that
# called this one).
set -euo pipefail
cd "$(dirname "$0")/.."
pkgs=(cmake make g++ pkg-config qtbase5-dev qtbase5-private-dev libqt5svg5-dev libqt5opengl5-dev libjsoncpp-dev
      libminizip-dev zlib1g-dev libgl1-mesa-dri fonts-wqy-microhei fonts-dejavu-core xvfb xauth)
if [ "${1:-}" = test ]; then
  pkgs+=(clang libclang-rt-14-dev qttools5-dev libqt5charts5-dev libqcustomplot-dev fonts-droid-fallback)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "== Packages: all present"
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
  else
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Installing them needs root, and sudo is not available. Run this as root (for example after su -):" >&2
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    echo "Then, as $(id -un 2>/dev/null || echo the user you are now), run again from $PWD:" >&2
    echo "  ${TEV_RERUN:-bash scripts/install-deps.sh ${1:-}}" >&2
    exit 1
  fi
fi

mkdir -p build-logs
log=build-logs/install-deps${1:+-$1}.log
echo "== Installing ${#missing[@]} packages: ${missing[*]} (log: $log)"
if ! { "${sudo[@]}" apt-get update -q &&
       DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; } \
     >"$log" 2>&1; then
  echo "Package installation failed; the last lines of $log:" >&2
  tail -n 20 "$log" >&2
  exit 1
fi
