#!/usr/bin/env bash
# Installs what is missing, builds the dashboard in Release (the program alone: no tests, no benchmarks) and
# starts it. Extra arguments go to the program. Without a display ($DISPLAY empty) the dashboard runs under a
# virtual X server in screenshot mode and the picture's path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
. scripts/steps.sh
step "Configuring (Release)" configure-release \
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTEV_BUILD_TESTS=OFF -DTEV_BUILD_BENCH=OFF
step "Building the dashboard" build-release cmake --build build -j"$(nproc)" --target photovoltaic
if [ -n "${DISPLAY:-}" ]; then
  echo "== Starting build/app/photovoltaic"
  exec ./build/app/photovoltaic "$@"
fi
mkdir -p screenshots
shot="$PWD/screenshots/dashboard.png"
echo "== No display: running build/app/photovoltaic under a virtual X server in screenshot mode"
set +e
xvfb-run -a -s "-screen 0 2560x1600x24 -dpi 96" ./build/app/photovoltaic "$@" --screenshot "$shot"
rc=$?
set -e
if [ "$rc" -eq 0 ]; then
  echo "== Screenshot written to $shot"
else
  echo "The dashboard ended with code $rc; no screenshot was written." >&2
fi
exit "$rc"
