#!/usr/bin/env bash
# Builds everything and runs the whole test suite: once on a normal build,
# once under AddressSanitizer + UndefinedBehaviorSanitizer.
#   scripts/test.sh            both runs
#   VEMO_QUICK=1 scripts/test.sh   the normal run only
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

werror="-DVEMO_WERROR=ON"
VEMO_BUILD_DIR=build VEMO_CMAKE_ARGS="$werror" scripts/setup.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"

if [ -z "${VEMO_QUICK:-}" ]; then
  VEMO_BUILD_DIR=build-asan VEMO_CMAKE_ARGS="$werror -DVEMO_SANITIZE=ON -DVEMO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug" scripts/setup.sh
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
fi
echo "test.sh: all test runs passed in $(( $(date +%s) - start )) s"
