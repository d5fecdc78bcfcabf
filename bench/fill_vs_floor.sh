#!/bin/bash
# fill_vs_floor.sh [N ...]
# Times the whole `vemoprint fill` process (bill engine, the benchmark bill
# template, a request of N lines) against the from-scratch floor with
# ../shared/bench/compare.sh, all sizes in the same run (default 20, 1,000,
# 10,000 and 100,000 lines), then measures the peak memory of both with
# /usr/bin/time -f %M and checks the 20-line output with xlsxdiff.py.
#
# The shared benchmark template and request generator already speak this
# system's keyword grammar ([$Page1_X], [$$Page2_X]) and request format
# (DataSrv, TableInfo, Data), so both are used as they are.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-fill-bench-$USER), VEMO_SHARED_DIR (default ../shared).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
shared=$(cd "${VEMO_SHARED_DIR:-$root/../shared}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-fill-bench-${USER:-$(id -un)}}
sizes=("$@"); [ ${#sizes[@]} -gt 0 ] || sizes=(20 1000 10000 100000)
vemoprint=$build/vemoprint
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }

mkdir -p "$work"
# The fill logs in as the default user of a company database of its own.
export VEMO_DATA_DIR=$work/data
mkdir -p "$VEMO_DATA_DIR"
"$vemoprint" init >/dev/null

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
BENCH_WORK=$work "$shared/bench/compare.sh" \
  "$vemoprint fill --template {template} --request {request} --out {out}" "${sizes[@]}"
echo "load average after timing: $(cut -d' ' -f1-3 /proc/loadavg)"

# compare.sh's own memory column reads 0 on this machine (the %M line goes to
# the same /dev/null as the command's stderr): measure it here.
printf '%-8s %10s %10s %8s\n' lines floor_MiB ours_MiB ratio
for n in "${sizes[@]}"; do
  /usr/bin/time -f %M -o "$work/floor.rss" "$work/floor" "$work/floor$n.json" "$work/floor_out$n.xlsx" \
    --constant-memory >/dev/null
  /usr/bin/time -f %M -o "$work/ours.rss" "$vemoprint" fill --template "$work/bench_template.xlsx" \
    --request "$work/req$n.json" --out "$work/ours$n.xlsx" >/dev/null
  fm=$(tail -1 "$work/floor.rss"); om=$(tail -1 "$work/ours.rss")
  printf '%-8s %10.1f %10.1f %8.2f\n' "$n" "$(echo "$fm/1024" | bc -l)" "$(echo "$om/1024" | bc -l)" \
    "$(echo "$om/$fm" | bc -l)"
done

# The smallest output against its template: the entry row copied n-1 times
# above itself, the margin row and column, sheets 2 and 3 deleted; only the
# filled cells may differ.
n=${sizes[0]}
last=$((n + 8))
/usr/bin/python3 "$shared/tools/xlsxdiff.py" "$work/bench_template.xlsx" "$work/ours$n.xlsx" --first-sheet-only \
  --insert-rows "8:$((n - 1)):copy" 1:1 --insert-cols 1:1 --ignore-cells "C4,F4,C5,C6,B9:G$last" \
  && echo "xlsxdiff: the $n-line output differs from its template only in the filled cells"
