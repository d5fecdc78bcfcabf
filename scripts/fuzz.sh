#!/usr/bin/env bash
# Fuzzes every reader of outside input for a bounded time with libFuzzer.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# SECONDS is the time per target (default 25; the .xlsx reader, whose input
# is the largest, gets twice that); TARGETs default to all of them:
#   xlsx_reader_fuzz     workbook files
#   json_request_fuzz    request files (JSON)
#   formula_fuzz         formula text: parse, evaluate, shift, translate
#   number_format_fuzz   number format codes: parse and render
#   sql_dialect_fuzz     the host SQL dialect translator
#   ini_file_fuzz        machine configuration ini files
#   picture_decode_fuzz  GIF and BMP pictures the renderer decodes itself
# Configures build-fuzz/ with clang (-DVEMO_FUZZ=ON: libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and builds the targets. Each
# target first replays its regression inputs, tests/fuzz/crashers/<target>/
# (every input once; any failure stops the script), then fuzzes from its
# seeds, growing build-fuzz/fuzz/corpus/<target> across runs. A new finding
# is saved in tests/fuzz/crashers/<target>/ and the script exits non-zero;
# reproduce it with
#   build-fuzz/fuzz/<target> tests/fuzz/crashers/<target>/<file>
# Needs clang with libFuzzer (Debian: clang, libclang-rt-14-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-25}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(xlsx_reader_fuzz json_request_fuzz formula_fuzz number_format_fuzz
                                     sql_dialect_fuzz ini_file_fuzz xls_reader_fuzz biff_formula_fuzz
                                     picture_decode_fuzz)
build=build-fuzz
shared=${VEMO_SHARED_DIR:-$(cd .. && pwd)/shared}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DVEMO_FUZZ=ON -DVEMO_BUILD_TESTS=OFF \
  -DVEMO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$(nproc)"

# Seeds of the .xlsx reader: the smallest workbooks of the shared corpus
# (fast inputs mutate best) and every small odd file, under neutral names,
# and the first worksheet of each as bare XML (the target wraps non-zip
# input in a minimal package, so these reach the sheet reader).
seed_xlsx_reader_fuzz() {
  { find "$shared/corpus/xlsx" -maxdepth 1 -type f \( -name '*.xlsx' -o -name '*.xlsm' -o -name '*.xltx' \) \
      -size -24k -printf '%s %p\n' | sort -n | head -12 | cut -d' ' -f2-
    find "$shared/corpus/odd" -maxdepth 1 -type f -size -64k; } |
  while read -r f; do cp "$f" "$1/seed-$(sha1sum "$f" | cut -c1-12).${f##*.}"; done
  /usr/bin/python3 - "$1" <<'PY'
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
}
# Seeds of the .xls reader: the smallest .xls files of the shared corpus and
# the broken ones of odd/.
seed_xls_reader_fuzz() {
  { find "$shared/corpus/xls" -maxdepth 1 -type f -name '*.xls' -size -32k -printf '%s %p\n' |
      sort -n | head -12 | cut -d' ' -f2-
    find "$shared/corpus/odd" -maxdepth 1 -type f -name '*.xls' -size -64k; } |
  while read -r f; do cp "$f" "$1/seed-$(sha1sum "$f" | cut -c1-12).xls"; done
}
# Formula tokens: SUM(A1:B2)+1 and IF(A1,"x",2), as a cell formula holds them.
seed_biff_formula_fuzz() {
  printf '\x25\x00\x00\x01\x00\x00\x00\x01\x00\x19\x10\x00\x00\x1e\x01\x00\x03' >"$1/seed-sum"
  printf '\x24\x00\x00\x00\x00\x17\x01\x00x\x1e\x02\x00\x42\x03\x01\x00' >"$1/seed-if"
}
seed_json_request_fuzz() {
  find examples/requests -name '*.json' -size -64k -exec cp {} "$1/" \;
}
# One seed per line of text.
seed_lines() {
  local folder=$1 n=0
  shift
  for line in "$@"; do printf '%s' "$line" >"$folder/seed-$((n++))"; done
}
seed_formula_fuzz() {
  seed_lines "$1" '=SUM(A1:B3)*2%' '=IF(A1>0,"yes",TEXT(B2,"0.00"))' '=VLOOKUP("t3",A1:E5,2,FALSE)' \
    '=-(A1+B2)^2&" "&Rate' '={1,2;3,4}*Sheet1!$A$1:$B$2' '=SUMPRODUCT((A1:A5>2)*(B1:B5))' '=Loop' \
    "=INDEX(A:A,2):B5 C1:C5" '=DATE(2026,12,1)-TODAY()'
}
seed_number_format_fuzz() {
  seed_lines "$1" '#,##0.00;[Red]-#,##0.00' 'yyyy"年"m"月"d"日" h:mm:ss' '[h]:mm:ss.00' '# ?/?' \
    '0.00E+00' '[DBNum2][$-804]General' '[>=100]"big";[<0]"neg";0' '"¥"#,##0_);(@)' '[$-F800]'
}
seed_sql_dialect_fuzz() {
  seed_lines "$1" "SELECT TOP 10 [FName], ISNULL(FQty, 0) FROM t_Item WITH (NOLOCK) WHERE FNumber = N'a''b'" \
    "SELECT LEN(x) + 'y', GETDATE() FROM (SELECT TOP (2) * FROM t) AS s -- done" \
    "select \"a\"\"b\", \`c\` from t where x = ? and y = @p /* c */;"
}
# Small GIFs of an independent encoder (plain, interlaced, transparent, the
# code table filled) and a bitmap.
seed_picture_decode_fuzz() {
  /usr/bin/python3 - "$1" <<'PY'
import random, sys
from PIL import Image
rnd = random.Random(3)
def paletted(w, h, colours):
    image = Image.new("P", (w, h))
    image.putpalette([rnd.randrange(256) for _ in range(3 * colours)])
    image.putdata([rnd.randrange(colours) for _ in range(w * h)])
    return image
paletted(5, 3, 4).save(sys.argv[1] + "/seed-plain.gif")
paletted(20, 17, 16).save(sys.argv[1] + "/seed-interlaced.gif", interlace=True)
paletted(6, 6, 8).save(sys.argv[1] + "/seed-transparent.gif", transparency=2)
paletted(90, 60, 256).save(sys.argv[1] + "/seed-full.gif")
paletted(7, 5, 16).save(sys.argv[1] + "/seed.bmp")
PY
}
seed_ini_file_fuzz() {
  seed_lines "$1" $'\xEF\xBB\xBF[Version]\r\nBarcodeControlType = "1"\r\n;x\r\n[a]\nk=v;w\n'
}

status=0
for target in "${targets[@]}"; do
  seeds="$build/fuzz/seeds/$target"; corpus="$build/fuzz/corpus/$target"; crashers="tests/fuzz/crashers/$target"
  mkdir -p "$seeds" "$corpus" "$crashers"
  [ -n "$(ls -A "$seeds")" ] || "seed_$target" "$seeds"
  if [ -n "$(ls -A "$crashers")" ]; then
    "$build/fuzz/$target" -rss_limit_mb=2048 -timeout=10 "$crashers"/* || {
      echo "fuzz.sh: $target fails on a regression input in $crashers/ (see the report above)" >&2
      exit 1
    }
  fi
  time=$seconds
  [ "$target" != xlsx_reader_fuzz ] || time=$((seconds * 2))
  # -max_len: bigger than every seed, so the seeds are used whole.
  "$build/fuzz/$target" "$corpus" "$seeds" -max_total_time="$time" -max_len=65536 -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$crashers/" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: $target stopped with status $status; the input is in $crashers/ (see the report above)" >&2
    exit "$status"
  fi
  echo "fuzz.sh: $target found nothing in $time s"
done
