#!/bin/bash
# fill_xls.sh [N ...]
# The benchmark bill filled from bench/bench_template.xls (made once by
# LibreOffice from the shared bench_template.xlsx, so another program wrote
# it) and saved as .xls, against our .xlsx fill of the same request and
# against LibreOffice converting that filled .xlsx to .xls
# (`soffice --headless --convert-to xls`, a private profile warmed by one
# conversion first), at each size N in the same run (default 20, 1,000,
# 10,000 and 100,000 lines).
# The fills' wall times are hyperfine medians of RUNS runs (default 40 below
# 10,000 lines, where a fill is mostly process start and varies by ±7 ms
# here; 10 at 10,000; 3 from 100,000); their CPU time (user + system) and
# peak memory come from one more run of each under /usr/bin/time -v.
# LibreOffice is timed once a size the same way, its wall time by the clock
# around it, and cut after LO_LIMIT seconds (default 600). Every filled .xls
# is then checked through xlrd (check_filled_xls.py), untimed.
# The template and the requests are the shared kit's (make_template.py,
# gen_request.py), as fill_vs_floor.sh uses them.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-xls-bench-$USER), VEMO_SHARED_DIR (default ../shared), RUNS, LO_LIMIT.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
shared=$(cd "${VEMO_SHARED_DIR:-$root/../shared}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-xls-bench-${USER:-$(id -un)}}
sizes=("$@"); [ ${#sizes[@]} -gt 0 ] || sizes=(20 1000 10000 100000)
vemoprint=$build/vemoprint
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "install hyperfine (../shared/bench/compare.sh does)" >&2; exit 2; }
command -v soffice >/dev/null || { echo "install LibreOffice (scripts/setup.sh) to time its conversion" >&2; exit 2; }
/usr/bin/python3 -c 'import xlrd' 2>/dev/null || { echo "install python3-xlrd (scripts/setup.sh) for the check" >&2; exit 2; }

mkdir -p "$work"
export VEMO_DATA_DIR=$work/data
mkdir -p "$VEMO_DATA_DIR"
"$vemoprint" init >/dev/null
/usr/bin/python3 "$shared/bench/make_template.py" "$work"
cp "$root/bench/bench_template.xls" "$work/bench_template.xls"
for n in "${sizes[@]}"; do
  [ -s "$work/req$n.json" ] || /usr/bin/python3 "$shared/bench/gen_request.py" "$n" "$work/req$n.json"
done

# Runs a command under /usr/bin/time -v; prints "wall cpu MiB", fails loudly.
# The wall time is read from the clock around it (time -v gives 10 ms).
measure() {
  local begin end
  begin=$(date +%s.%N)
  if ! /usr/bin/time -v -o "$work/time" "$@" >"$work/run.log" 2>&1; then
    echo "failed: $*" >&2
    cat "$work/run.log" "$work/time" >&2
    exit 1
  fi
  end=$(date +%s.%N)
  awk -F': ' -v wall="$(echo "$end - $begin" | bc)" '
    /User time/ { cpu += $2 } /System time/ { cpu += $2 }
    /Maximum resident set size/ { mib = $2 / 1024 }
    END { printf "%.4f %.2f %.1f\n", wall, cpu, mib }' "$work/time"
}
# LibreOffice converting the filled .xlsx of N lines: append the file.
office=(timeout "${LO_LIMIT:-600}" soffice "-env:UserInstallation=file://$work/lo-profile" --headless
  --convert-to xls --outdir "$work/lo")

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$vemoprint" fill --template "$work/bench_template.xlsx" --request "$work/req${sizes[0]}.json" \
  --out "$work/ours${sizes[0]}.xlsx" >/dev/null
"${office[@]}" "$work/ours${sizes[0]}.xlsx" >/dev/null 2>&1  # warms the profile

printf '%-8s | %7s %6s %6s | %7s %6s %6s | %7s %6s %6s | %9s %9s %8s\n' lines \
  xlsx_s cpu MiB xls_s cpu MiB lo_s cpu MiB xls/xlsx lo/xls MiB_ratio
for n in "${sizes[@]}"; do
  runs=${RUNS:-$( ((n < 10000)) && echo 40 || { ((n < 100000)) && echo 10 || echo 3; })}
  xlsx_cmd="$vemoprint fill --template $work/bench_template.xlsx --request $work/req$n.json --out $work/ours$n.xlsx"
  xls_cmd="$vemoprint fill --template $work/bench_template.xls --request $work/req$n.json --out $work/ours$n.xls"
  hyperfine -N -w 1 -r "$runs" --export-json "$work/h$n.json" "$xlsx_cmd" "$xls_cmd" >/dev/null 2>&1 || {
    echo "size $n: a fill failed; run it by hand:"; echo "  $xlsx_cmd"; echo "  $xls_cmd"; exit 1; }
  read -r xw sw < <(/usr/bin/python3 -c "import json,sys;r=json.load(open(sys.argv[1]))['results'];print(r[0]['median'],r[1]['median'])" "$work/h$n.json")
  read -r _ xc xm < <(measure $xlsx_cmd)
  read -r _ sc sm < <(measure $xls_cmd)
  if lo=$(measure "${office[@]}" "$work/ours$n.xlsx"); then :; else lo="cut cut cut"; fi
  read -r lw lc lm <<<"$lo"
  printf '%-8s | %7.4f %6s %6s | %7.4f %6s %6s | %7s %6s %6s | %9.2f %9s %8.2f\n' "$n" "$xw" "$xc" "$xm" "$sw" "$sc" "$sm" \
    "$lw" "$lc" "$lm" "$(echo "$sw / $xw" | bc -l)" \
    "$([ "$lw" = cut ] && echo cut || printf '%.1f' "$(echo "$lw / $sw" | bc -l)")" "$(echo "$sm / $xm" | bc -l)"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

for n in "${sizes[@]}"; do /usr/bin/python3 "$root/bench/check_filled_xls.py" "$work/ours$n.xls" "$work/req$n.json"; done
