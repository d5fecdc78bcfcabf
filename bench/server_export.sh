#!/bin/bash
# server_export.sh [RUNS]
# `vemoprint bill export` of the sample VAT invoice, whole processes, on the
# embedded database and on a private local PostgreSQL server
# (scripts/pg-sandbox.sh, Unix socket), in the same run, with hyperfine
# (warm-up runs first, medians reported), and the ratio server/embedded.
# The goal is at most 1.5.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-server-export-$USER).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-server-export-${USER:-$(id -un)}}
runs=${1:-30}
vemoprint=$build/vemoprint
request=$root/examples/requests/sales_invoice_vat.json
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing: apt-get install hyperfine" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work/data" "$work/out"
export VEMO_DATA_DIR=$work/data
eval "$("$root/scripts/pg-sandbox.sh" start "$work/pg")"
trap '"$root/scripts/pg-sandbox.sh" stop "$work/pg"' EXIT
"$vemoprint" init >/dev/null
"$vemoprint" init --server "$VEMO_TEST_PG" >/dev/null

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine -N --warmup 5 --runs "$runs" --export-json "$work/export.json" \
  -n embedded "$vemoprint bill export $request --out $work/out/embedded.xlsx" \
  -n server "$vemoprint --server $VEMO_TEST_PG bill export $request --out $work/out/server.xlsx"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$work/export.json" <<'PY'
import json, sys
results = {r["command"]: r["median"] * 1000 for r in json.load(open(sys.argv[1]))["results"]}
print("bill export median: embedded %.1f ms, server %.1f ms, ratio %.2f"
      % (results["embedded"], results["server"], results["server"] / results["embedded"]))
PY
