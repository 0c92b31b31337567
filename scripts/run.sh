#!/usr/bin/env bash
# Installs what is missing, builds the dashboard in Release and starts it. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTEV_BUILD_TESTS=OFF -DTEV_BUILD_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
exec ./build/app/photovoltaic "$@"
