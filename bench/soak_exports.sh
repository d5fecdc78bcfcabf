#!/bin/bash
# soak_exports.sh [COUNT]
# COUNT (default 10,000) `vemoprint bill export` processes in a row, each of a
# random valid request: one of the example bills with 1 to 200 lines picked at
# random and its numbers scaled at random (bench/scale_request.py with a
# seed; 100 such requests are made first and drawn from at random). Fails at
# the first export that fails or leaves a file in the temporary folder, and at
# the end when the peak memory of the last exports grew by more than a tenth
# over the first ones, or the company database or data folder holds anything
# new besides one behaviour log row per export.
# Prints the peak memory of each hundredth export.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-soak-$USER).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-soak-${USER:-$(id -un)}}
count=${1:-10000}
vemoprint=$build/vemoprint
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work/data" "$work/tmp" "$work/requests" "$work/out"
export VEMO_DATA_DIR=$work/data TMPDIR=$work/tmp
"$vemoprint" init >/dev/null

bills=(sales_invoice_vat sales_invoice_plain purchase_order receipt stock_transfer offset_bill)
for i in $(seq 0 99); do
  bill=${bills[$((RANDOM % ${#bills[@]}))]}
  /usr/bin/python3 "$root/bench/scale_request.py" "$root/examples/requests/$bill.json" $((1 + RANDOM % 200)) \
    "$work/requests/$i.json" "$i"
done

files_in() { find "$1" -type f | wc -l; }
# Files of the data folder, and row counts of every table but the behaviour log.
data_state() {
  find "$work/data" -type f -not -name '*.log' | sort
  /usr/bin/python3 -c '
import sqlite3, sys
db = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
for (t,) in db.execute("select name from sqlite_master where type = \"table\" order by name"):
    if t not in ("t_BehaviorLog", "sqlite_sequence"):  # the log and its row numbers
        print(t, db.execute("select count(*) from \"%s\"" % t).fetchone()[0])' "$work/data"/*.db
}
log_rows() {
  /usr/bin/python3 -c 'import sqlite3, sys; print(sqlite3.connect(sys.argv[1]).execute("select count(*) from t_BehaviorLog").fetchone()[0])' "$work/data"/*.db
}
data_state >"$work/data.before"
log_before=$(log_rows)
first=() last=()
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
start=$(date +%s)
for i in $(seq 1 "$count"); do
  request=$work/requests/$((RANDOM % 100)).json
  if ! /usr/bin/time -f %M -o "$work/rss" "$vemoprint" bill export "$request" --out "$work/out/bill.xlsx" \
      >"$work/export.log" 2>&1; then
    echo "export $i of $request failed:" >&2
    cat "$work/export.log" >&2
    exit 1
  fi
  [ -s "$work/out/bill.xlsx" ] || { echo "export $i of $request wrote no file" >&2; exit 1; }
  leftovers=$(files_in "$work/tmp")
  [ "$leftovers" -eq 0 ] || { echo "export $i left $leftovers file(s) in $work/tmp:" >&2; find "$work/tmp" -type f >&2; exit 1; }
  rss=$(tail -1 "$work/rss")
  [ "$i" -gt 50 ] || first+=("$rss")
  [ "$i" -le $((count - 50)) ] || last+=("$rss")
  [ $((i % 100)) -ne 0 ] || echo "export $i: peak $rss KiB"
  rm -f "$work/out/bill.xlsx"
done
elapsed=$(($(date +%s) - start))
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

max_of() { printf '%s\n' "$@" | sort -n | tail -1; }
first_max=$(max_of "${first[@]}")
last_max=$(max_of "${last[@]}")
data_state >"$work/data.after"
log_added=$(($(log_rows) - log_before))
echo "$count exports in $elapsed s, none failed, no file left in the temporary folder"
echo "peak memory: first 50 exports at most $first_max KiB, last 50 at most $last_max KiB"
echo "company database: $log_added behaviour log rows added, every other table as before"
[ "$last_max" -le $((first_max + first_max / 10)) ] || { echo "the peak memory grew" >&2; exit 1; }
diff "$work/data.before" "$work/data.after" >&2 || { echo "the data folder changed" >&2; exit 1; }
[ "$log_added" -le "$count" ] || { echo "more behaviour log rows than exports" >&2; exit 1; }
