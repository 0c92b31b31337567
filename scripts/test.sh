#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every test under a virtual X server; then, where clang is present, builds the fuzz targets and runs
# each for a bounded time. The main test suite runs last so that its summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=ON -DTEV_BUILD_TESTS=ON -DTEV_BUILD_BENCH=ON >/dev/null
cmake --build build-test -j"$jobs"

if command -v clang++ >/dev/null 2>&1; then
  CXX=clang++ CC=clang cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DTEV_FUZZ=ON \
      -DTEV_FUZZ_SECONDS="${TEV_FUZZ_SECONDS:-20}" >/dev/null
  cmake --build build-fuzz -j"$jobs"
  ctest --test-dir build-fuzz --output-on-failure -j"$jobs"
else
  echo "clang++ not found: fuzz targets skipped"
fi

xvfb-run -a -s "-screen 0 2560x1600x24" \
  ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 900
