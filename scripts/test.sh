#!/usr/bin/env bash
# Installs what is missing, builds the suite twice, plain (what users run: no sanitizers, tests only) and with
# AddressSanitizer and UndefinedBehaviorSanitizer (with the benchmarks), and runs every test of each build under
# a virtual X server; where clang is present, it also builds the fuzz targets and runs each for a bounded time.
# One line is printed per step; each step's output is kept in build-logs/, and the end of a failing step's log is
# printed. The test runs print their summaries (and, when a test fails, the output of the run). The sanitizer
# suite runs last, so that its summary closes the output; the command fails when any run failed.
set -euo pipefail
cd "$(dirname "$0")/.."
TEV_RERUN="bash scripts/test.sh" bash scripts/install-deps.sh test
. scripts/steps.sh
jobs=$(nproc)

step "Configuring the plain test build" configure-plain \
  cmake -S . -B build-plain -DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=OFF -DTEV_BUILD_TESTS=ON -DTEV_BUILD_BENCH=OFF
step "Building the framework, the dashboard and the tests (plain)" build-plain \
  cmake --build build-plain -j"$jobs"
step "Configuring the sanitizer test build" configure-test \
  cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=ON -DTEV_BUILD_TESTS=ON -DTEV_BUILD_BENCH=ON
step "Building the framework, the dashboard, the tests and the benchmarks (sanitizers)" build-test \
  cmake --build build-test -j"$jobs"

failed=0
# Runs one CTest suite with its progress in build-logs/<log>.log; prints the summary, and the whole run when a
# test failed.
suite() {
  local title=$1 log=build-logs/$2.log
  shift 2
  echo "== $title (log: $log)"
  if "$@" >"$log" 2>&1; then
    sed -n '/tests passed/,$p' "$log"
  else
    failed=1
    echo "FAILED: $title; the run:" >&2
    tail -n 3000 "$log" >&2
  fi
}

if command -v clang++ >/dev/null 2>&1; then
  step "Configuring the fuzz targets (clang)" configure-fuzz \
    env CXX=clang++ CC=clang cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DTEV_FUZZ=ON \
      -DTEV_FUZZ_SECONDS="${TEV_FUZZ_SECONDS:-20}"
  step "Building the fuzz targets" build-fuzz cmake --build build-fuzz -j"$jobs"
  suite "Running the fuzz targets" ctest-fuzz ctest --test-dir build-fuzz --output-on-failure -j"$jobs"
else
  echo "clang++ not found: fuzz targets skipped"
fi

suite "Running the tests (plain build)" ctest-plain \
  xvfb-run -a -s "-screen 0 2560x1600x24" \
    ctest --test-dir build-plain --output-on-failure -j"$jobs" --timeout 900
suite "Running the tests (sanitizer build)" ctest-test \
  xvfb-run -a -s "-screen 0 2560x1600x24" \
    ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 900
exit "$failed"
