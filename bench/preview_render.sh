#!/bin/bash
# preview_render.sh [RUNS]
# Times whole `vemoprint bill preview` processes of the sample VAT invoice
# (examples/requests/sales_invoice_vat.json) without a display, so the
# preview is written as a PDF: once with our renderer (VEMO_RENDERER=own),
# once with LibreOffice (VEMO_RENDERER=office), in the same run, with
# hyperfine (warm-up runs first, median reported). Runs in a private data
# folder made with `vemoprint init`.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-preview-bench-$USER), OFFICE_RUNS (default 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-preview-bench-${USER:-$(id -un)}}
runs=${1:-20}
office_runs=${OFFICE_RUNS:-5}
vemoprint=$build/vemoprint
request=$root/examples/requests/sales_invoice_vat.json
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing: apt-get install hyperfine" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work/data" "$work/preview"
export VEMO_DATA_DIR=$work/data VEMO_PREVIEW_DIR=$work/preview VEMO_DATABASE= VEMO_USER=
unset DISPLAY WAYLAND_DISPLAY
"$vemoprint" init >/dev/null

median_ms() {  # hyperfine JSON -> median in ms
  /usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print("%.1f" % (r["median"]*1000))' "$1"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
first=$(VEMO_RENDERER=own "$vemoprint" bill preview "$request" 2>&1)
case "$first" in
  *"LibreOffice renders it"*) echo "our renderer declined the invoice: $first" >&2; exit 1 ;;
  *"preview is in"*) ;;
  *) echo "the preview wrote no PDF: $first" >&2; exit 1 ;;
esac
VEMO_RENDERER=own hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/own.json" \
  "$vemoprint bill preview $request"
VEMO_RENDERER=office hyperfine -N --warmup 1 --runs "$office_runs" --export-json "$work/office.json" \
  "$vemoprint bill preview $request"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "bill preview, our renderer: median $(median_ms "$work/own.json") ms"
echo "bill preview, LibreOffice:  median $(median_ms "$work/office.json") ms"
