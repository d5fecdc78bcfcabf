#!/usr/bin/env bash
# Builds everything and runs the whole test suite:
#   1. a normal build, every test, with LibreOffice opening the saved corpus
#   2. the same tests under AddressSanitizer + UndefinedBehaviorSanitizer (the
#      corpus files are opened, edited and saved, but the independent
#      comparer, which gives the same verdict, runs only in the first run)
#   3. every reader of outside input fuzzed for a bounded time (clang's
#      libFuzzer, scripts/fuzz.sh)
#   VEMO_QUICK=1 scripts/test.sh     only the first run
#   VEMO_FUZZ_SECONDS=N              seconds per fuzz target (default 25)
# The shared material (corpus, checkers) is expected in ../shared.
set -euo pipefail
cd "$(dirname "$0")/.."
shared="${VEMO_SHARED_DIR:-../shared}"
if [ ! -f "$shared/tools/xlsxdiff.py" ] || [ ! -d "$shared/corpus" ]; then
  echo "test.sh: the shared test material (corpus/ and tools/) is not in $shared: put it beside this clone as ../shared, or name its folder in VEMO_SHARED_DIR (an absolute path)" >&2
  exit 2
fi
start=$(date +%s)
stamp() { echo "test.sh: $1 after $(( $(date +%s) - start )) s"; }

werror="-DVEMO_WERROR=ON"
VEMO_BUILD_DIR=build VEMO_CMAKE_ARGS="$werror" scripts/setup.sh
stamp "normal build done"
# The print tests send real jobs to a private CUPS server (scripts/cups-sandbox.sh);
# ctest's host_database_on_server starts a private PostgreSQL server of its
# own (scripts/pg-sandbox.sh) for the database suites' second run, in both
# the normal and the sanitizer runs.
sandbox_root="$(mktemp -d)"
trap 'rm -rf "$sandbox_root"' EXIT
scripts/cups-sandbox.sh run "$sandbox_root/cups" -- \
  env VEMO_LO_CHECK=1 ctest --test-dir build --output-on-failure -j "$(nproc)"
stamp "normal tests passed"

if [ -z "${VEMO_QUICK:-}" ]; then
  VEMO_BUILD_DIR=build-asan VEMO_CMAKE_ARGS="$werror -DVEMO_SANITIZE=ON -DVEMO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1" scripts/setup.sh
  stamp "sanitizer build done"
  scripts/cups-sandbox.sh run "$sandbox_root/cups-asan" -- \
    env ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 VEMO_SKIP_CORPUS_COMPARER=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
  stamp "sanitizer tests passed"
  scripts/fuzz.sh "${VEMO_FUZZ_SECONDS:-25}"
  stamp "fuzzing found nothing"
fi
echo "test.sh: all test runs passed in $(( $(date +%s) - start )) s"
