#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every test under a virtual X server; then, where clang is present, builds the fuzz targets and runs
# each for a bounded time. The main test suite runs last so that its summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
. scripts/steps.sh
jobs=$(nproc)

step "Configuring the test build" configure-test \
  cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=ON -DTEV_BUILD_TESTS=ON -DTEV_BUILD_BENCH=ON
step "Building the framework, the dashboard, the tests and the benchmarks" build-test \
  cmake --build build-test -j"$jobs"

if command -v clang++ >/dev/null 2>&1; then
  step "Configuring the fuzz targets (clang)" configure-fuzz \
    env CXX=clang++ CC=clang cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DTEV_FUZZ=ON \
      -DTEV_FUZZ_SECONDS="${TEV_FUZZ_SECONDS:-20}"
  step "Building the fuzz targets" build-fuzz cmake --build build-fuzz -j"$jobs"
  echo "== Running the fuzz targets"
  ctest --test-dir build-fuzz --output-on-failure -j"$jobs"
else
  echo "clang++ not found: fuzz targets skipped"
fi

echo "== Running the tests"
xvfb-run -a -s "-screen 0 2560x1600x24" \
  ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 900
