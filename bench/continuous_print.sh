#!/bin/bash
# continuous_print.sh [RUNS]
# `vemoprint batch print` of a continuous print of 100 sales invoices of one
# transaction type (the sample request grown to 100 bills and 100 statement
# lines with bench/scale_request.py) to the test queue of a private CUPS
# server, whole process: our renderer (the default) against LibreOffice
# (VEMO_RENDERER=office) in the same run, hyperfine medians. Ours runs RUNS
# times (default 5), LibreOffice OFFICE_RUNS times (default 2). Prints the
# jobs and pages one run submitted.
# Then the same 100 invoices printed as 100 bills in one process
# (`vemoprint bill print` given the sample invoice request 100 times), one
# job per bill: ours RUNS times, LibreOffice once (it starts for every bill).
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-batch-bench-$USER), OFFICE_RUNS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-batch-bench-${USER:-$(id -un)}}
runs=${1:-5}
office_runs=${OFFICE_RUNS:-2}
vemoprint=$build/vemoprint
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing: apt-get install hyperfine" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work/data"
export VEMO_DATA_DIR=$work/data VEMO_DATABASE= VEMO_USER=
unset DISPLAY WAYLAND_DISPLAY VEMO_RENDERER
"$vemoprint" init >/dev/null
request=$work/batch100.json
/usr/bin/python3 "$root/bench/scale_request.py" "$root/examples/requests/continuous_print.json" 100 "$work/rows.json"
/usr/bin/python3 - "$work/rows.json" "$request" <<'PY'
import json, sys
request = json.load(open(sys.argv[1]))
bill = request["PrintData"][0]
request["PrintData"] = [dict(bill, FBillNo="XSFP-202611-%04d" % i) for i in range(1, 101)]
json.dump(request, open(sys.argv[2], "w"), ensure_ascii=False)
PY
median_ms() {  # hyperfine JSON -> median in ms
  /usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print("%.0f" % (r["median"]*1000))' "$1"
}

sandbox=$work/cups
eval "$("$root/scripts/cups-sandbox.sh" start "$sandbox")"
trap '"$root/scripts/cups-sandbox.sh" stop "$sandbox" >/dev/null 2>&1 || true' EXIT
jobs_now() { lpstat -W completed -o 2>/dev/null | wc -l; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
before=$(jobs_now)
out=$("$vemoprint" batch print "$request" 2>&1) || { echo "$out" >&2; exit 1; }
case "$out" in *"LibreOffice renders"*) echo "our renderer declined: $out" >&2; exit 1 ;; esac
sleep 1
echo "one run submitted $(($(jobs_now) - before)) job(s)"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/own.json" "$vemoprint batch print $request"
VEMO_RENDERER=office hyperfine -N --runs "$office_runs" --export-json "$work/office.json" \
  "$vemoprint batch print $request"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "continuous print of 100 invoices: ours $(median_ms "$work/own.json") ms, LibreOffice $(median_ms "$work/office.json") ms"

# 100 bills, one job each, in one process.
bills=()
for i in $(seq 1 100); do bills+=("$root/examples/requests/sales_invoice_plain.json"); done
before=$(jobs_now)
"$vemoprint" bill print "${bills[@]}" >/dev/null 2>"$work/bills.log" || { cat "$work/bills.log" >&2; exit 1; }
sleep 1
echo "100 bills submitted $(($(jobs_now) - before)) job(s)"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/own-bills.json" "$vemoprint bill print ${bills[*]}"
VEMO_RENDERER=office hyperfine -N --runs 1 --export-json "$work/office-bills.json" "$vemoprint bill print ${bills[*]}"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "100 invoices as 100 bills, one job each: ours $(median_ms "$work/own-bills.json") ms, LibreOffice $(median_ms "$work/office-bills.json") ms"
