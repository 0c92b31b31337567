#!/usr/bin/env bash
# Installs what is missing, builds the dashboard in Release (the program alone: no tests, no benchmarks) and
# starts it. Extra arguments go to the program, which runs in the caller's working directory (a relative
# --screenshot path is taken from there). Without a display ($DISPLAY empty) the dashboard runs under a virtual
# X server in screenshot mode (scripts/run-headless.sh), writing screenshots/dashboard.png unless the caller
# names another path.
set -euo pipefail
caller_dir=$PWD
cd "$(dirname "$0")/.."
root=$PWD
# Without a display the run has a time limit: a bad one is refused before anything is installed or built.
[ -n "${DISPLAY:-}" ] || bash scripts/run-headless.sh --check-limit
TEV_RERUN="bash scripts/run.sh" bash scripts/install-deps.sh
. scripts/steps.sh
step "Configuring (Release)" configure-release \
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTEV_BUILD_TESTS=OFF -DTEV_BUILD_BENCH=OFF
step "Building the dashboard" build-release cmake --build build -j"$(nproc)" --target photovoltaic
program=$root/build/app/photovoltaic
cd "$caller_dir"
if [ -n "${DISPLAY:-}" ]; then
  echo "== Starting build/app/photovoltaic"
  exec "$program" "$@"
fi

bash "$root/scripts/run-headless.sh" "$program" "$root/screenshots/dashboard.png" "$@"
