#!/usr/bin/env bash
# Fuzzes the .xlsx reader for a bounded time with libFuzzer.
#   scripts/fuzz.sh [SECONDS]     default 60
# Configures build-fuzz/ with clang (-DVEMO_FUZZ=ON: libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer), builds only the fuzz target and runs it on a
# seed corpus of small workbooks from the shared corpus (xlsx/ and odd/),
# growing build-fuzz/fuzz/corpus across runs. A crashing input is saved under
# tests/fuzz/crashers/ and the script exits non-zero; reproduce it with
#   build-fuzz/fuzz/xlsx_reader_fuzz tests/fuzz/crashers/<file>
# Needs clang with libFuzzer (Debian: clang, libclang-rt-14-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
shared=${VEMO_SHARED_DIR:-$(cd .. && pwd)/shared}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DVEMO_FUZZ=ON -DVEMO_BUILD_TESTS=OFF \
  -DVEMO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target xlsx_reader_fuzz -j "$(nproc)"

# Seeds: the smallest workbooks of the shared corpus (fast inputs mutate
# best) and every small odd file, under neutral names.
seeds="$build/fuzz/seeds"; corpus="$build/fuzz/corpus"; crashers=tests/fuzz/crashers
mkdir -p "$seeds" "$corpus" "$crashers"
if [ -z "$(ls -A "$seeds")" ]; then
  { find "$shared/corpus/xlsx" -maxdepth 1 -type f \( -name '*.xlsx' -o -name '*.xlsm' -o -name '*.xltx' \) \
      -size -24k -printf '%s %p\n' | sort -n | head -12 | cut -d' ' -f2-
    find "$shared/corpus/odd" -maxdepth 1 -type f -size -64k; } |
  while read -r f; do cp "$f" "$seeds/seed-$(sha1sum "$f" | cut -c1-12).${f##*.}"; done
  # The first worksheet of each seed workbook as bare XML: the target wraps
  # non-zip input in a minimal package, so these reach the sheet reader.
  /usr/bin/python3 - "$seeds" <<'PY'
import pathlib, sys, zipfile
seeds = pathlib.Path(sys.argv[1])
for f in sorted(seeds.glob("seed-*.xl*")):
    try:
        with zipfile.ZipFile(f) as z:
            data = z.read("xl/worksheets/sheet1.xml")
    except Exception:
        continue
    if len(data) <= 65536:
        (seeds / (f.stem + "-sheet.xml")).write_bytes(data)
PY
fi

# -max_len: bigger than every seed, so the seeds are used whole.
status=0
"$build/fuzz/xlsx_reader_fuzz" "$corpus" "$seeds" -max_total_time="$seconds" -max_len=65536 \
  -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix="$crashers/" || status=$?
if [ "$status" -ne 0 ]; then
  echo "fuzz.sh: the fuzzer stopped with status $status; the input is in $crashers/ (see the report above)" >&2
  exit "$status"
fi
echo "fuzz.sh: no crash in $seconds s"
