#!/bin/bash
# print_render.sh [RUNS]
# Whole vemoprint processes with our renderer (the default) against
# LibreOffice (VEMO_RENDERER=office), timed with hyperfine (median):
#   1. `bill print` of the sample VAT invoice to the test queue of a private
#      CUPS server (scripts/cups-sandbox.sh);
#   2. `report preview` of the statement report made 1,000 lines long
#      (bench/scale_request.py), no display: the PDF is kept;
# Ours runs RUNS times (default 10), LibreOffice OFFICE_RUNS times (default
# 3). Runs in a private data folder made with `vemoprint init`.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-print-bench-$USER), OFFICE_RUNS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-print-bench-${USER:-$(id -un)}}
runs=${1:-10}
office_runs=${OFFICE_RUNS:-3}
vemoprint=$build/vemoprint
invoice=$root/examples/requests/sales_invoice_vat.json
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing: apt-get install hyperfine" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work/data" "$work/preview"
export VEMO_DATA_DIR=$work/data VEMO_PREVIEW_DIR=$work/preview VEMO_DATABASE= VEMO_USER=
unset DISPLAY WAYLAND_DISPLAY VEMO_RENDERER
"$vemoprint" init >/dev/null
/usr/bin/python3 "$root/bench/scale_request.py" "$root/examples/requests/customer_statement_report.json" 1000 \
  "$work/report1000.json"
median_ms() {  # hyperfine JSON -> median in ms
  /usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print("%.0f" % (r["median"]*1000))' "$1"
}
# Fails the run when ours hands the workbook to LibreOffice.
ours_only() {
  local out
  out=$("$@" 2>&1) || { echo "$out" >&2; exit 1; }
  case "$out" in *"LibreOffice renders"*) echo "our renderer declined: $out" >&2; exit 1 ;; esac
}

sandbox=$work/cups
eval "$("$root/scripts/cups-sandbox.sh" start "$sandbox")"
trap '"$root/scripts/cups-sandbox.sh" stop "$sandbox" >/dev/null 2>&1 || true' EXIT

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
ours_only "$vemoprint" bill print "$invoice"
hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/print-own.json" "$vemoprint bill print $invoice"
VEMO_RENDERER=office hyperfine -N --warmup 1 --runs "$office_runs" --export-json "$work/print-office.json" \
  "$vemoprint bill print $invoice"
ours_only "$vemoprint" report preview "$work/report1000.json"
pages=$(pdfinfo "$(ls -t "$work"/preview/*.pdf | head -1)" | awk '/^Pages:/ {print $2}')
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/report-own.json" \
  "$vemoprint report preview $work/report1000.json"
VEMO_RENDERER=office hyperfine -N --runs "$office_runs" --export-json "$work/report-office.json" \
  "$vemoprint report preview $work/report1000.json"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "bill print: ours $(median_ms "$work/print-own.json") ms, LibreOffice $(median_ms "$work/print-office.json") ms"
echo "1,000-line report preview ($pages pages): ours $(median_ms "$work/report-own.json") ms," \
  "LibreOffice $(median_ms "$work/report-office.json") ms"
