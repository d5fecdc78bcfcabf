#!/bin/bash
# bill_export.sh [RUNS]
# Times whole vemoprint processes with hyperfine (warm-up runs first, median
# reported):
#   1. `vemoprint bill export` of the sample VAT invoice
#      (examples/requests/sales_invoice_vat.json) into a workbook file;
#   2. `vemoprint bill print` of the same invoice to the test queue of a
#      private CUPS server (scripts/cups-sandbox.sh), with the time spent in
#      the renderer (soffice) measured separately; skipped with a note when
#      cupsd or soffice is missing or the sandbox does not start.
# Both run in a private data folder made with `vemoprint init`, so the
# company database, the templates and the behaviour log are the sample ones
# and nothing of the user's is touched.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-bill-bench-$USER), PRINT_RUNS (default 3; 0 skips printing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-bill-bench-${USER:-$(id -un)}}
runs=${1:-30}
print_runs=${PRINT_RUNS:-3}
vemoprint=$build/vemoprint
request=$root/examples/requests/sales_invoice_vat.json
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing: apt-get install hyperfine" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work/data" "$work/out"
export VEMO_DATA_DIR=$work/data
"$vemoprint" init >/dev/null

median_ms() {  # hyperfine JSON -> median in ms
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print("%.1f" % (r["median"]*1000))' "$1"
}

echo "vemoprint: $vemoprint"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$vemoprint" bill export "$request" --out "$work/out/invoice.xlsx" >/dev/null 2>"$work/export.log" ||
  { cat "$work/export.log" >&2; echo "bill export failed" >&2; exit 1; }
hyperfine -N --warmup 5 --runs "$runs" --export-json "$work/export.json" \
  "$vemoprint bill export $request --out $work/out/invoice.xlsx"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "bill export median: $(median_ms "$work/export.json") ms"

if [ "$print_runs" -eq 0 ]; then exit 0; fi
if ! command -v /usr/sbin/cupsd >/dev/null || ! command -v soffice >/dev/null; then
  echo "bill print: skipped (needs cups-daemon, cups-client and LibreOffice for the sandbox printer)"
  exit 0
fi
sandbox=$work/cups
if ! eval "$("$root/scripts/cups-sandbox.sh" start "$sandbox" 2>"$work/cups-start.log")"; then
  echo "bill print: skipped (the CUPS sandbox did not start: $(tail -1 "$work/cups-start.log"))"
  exit 0
fi
trap '"$root/scripts/cups-sandbox.sh" stop "$sandbox" >/dev/null 2>&1 || true' EXIT

# The renderer's share: soffice runs through a wrapper that appends its wall
# time (ms) to a log, one line per render.
renders=$work/renders.log
: >"$renders"
cat >"$work/soffice-timed" <<EOF
#!/bin/bash
start=\$(date +%s%N)
$(command -v soffice) "\$@"
status=\$?
echo \$(( (\$(date +%s%N) - start) / 1000000 )) >>"$renders"
exit \$status
EOF
chmod +x "$work/soffice-timed"
export VEMO_SOFFICE=$work/soffice-timed

echo "load average before printing: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine -N --warmup 1 --runs "$print_runs" --export-json "$work/print.json" \
  "$vemoprint bill print $request" 2>/dev/null
# The queue's backend writes the job after vemoprint has handed it over.
for _ in $(seq 60); do [ -s "$sandbox/printed.pdf" ] && break; sleep 1; done
[ -s "$sandbox/printed.pdf" ] || { echo "bill print: no job reached the test queue within 60 s" >&2; exit 1; }
print_ms=$(median_ms "$work/print.json")
render_ms=$(sort -n "$renders" | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}')
echo "bill print median: $print_ms ms, of which the renderer (median of $(wc -l <"$renders") renders): $render_ms ms"
