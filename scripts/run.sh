#!/usr/bin/env bash
# Installs what is missing, builds the dashboard in Release (the program alone: no tests, no benchmarks) and
# starts it. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
. scripts/steps.sh
step "Configuring (Release)" configure-release \
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTEV_BUILD_TESTS=OFF -DTEV_BUILD_BENCH=OFF
step "Building the dashboard" build-release cmake --build build -j"$(nproc)" --target photovoltaic
echo "== Starting build/app/photovoltaic"
exec ./build/app/photovoltaic "$@"
