#!/bin/bash
# fill_examples.sh [N ...]
# Fills every example template of examples/templates/ with its example
# request grown to N lines (bench/scale_request.py; default 10,000 and
# 100,000) through the whole `vemoprint fill` process, and prints wall time,
# CPU time (user + system, all threads), peak memory and the CPU time
# against the smallest size (on a machine shared with other work the CPU time
# is the steadier figure; the wall time is printed beside it). A template whose
# request has no line table (the waybill) is filled once as it is; the item
# label is not a fill of lines (`vemoprint label`) and is left out, and so is
# a request with no template of its name (the continuous print's).
# SALES_MILLION=1 adds a 1,000,000-line sales_invoice_plain fill.
#
# Environment: BUILD_DIR (default build), BENCH_WORK (default
# /tmp/vemo-examples-bench-$USER), TEMPLATES (a space-separated subset of
# the template names, without .xlsx).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=${BENCH_WORK:-/tmp/vemo-examples-bench-${USER:-$(id -un)}}
sizes=("$@"); [ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000)
vemoprint=$build/vemoprint
[ -x "$vemoprint" ] || { echo "build vemoprint first: cmake --build $build --target vemoprint" >&2; exit 2; }

mkdir -p "$work"
export VEMO_DATA_DIR=$work/data
mkdir -p "$VEMO_DATA_DIR"
"$vemoprint" init >/dev/null

# One fill: prints "wall cpu MiB", fails loudly when the fill does.
fill() {
  local template=$1 request=$2 out=$3 engine=$4
  if ! /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$vemoprint" fill --template "$template" --request "$request" \
      --engine "$engine" --out "$out" >"$work/fill.log" 2>&1; then
    echo "the fill of $template with $request failed:" >&2
    cat "$work/fill.log" >&2
    exit 1
  fi
  read -r wall user system kib <"$work/time"
  echo "$wall $(echo "$user + $system" | bc) $(echo "$kib/1024" | bc)"
}

names=${TEMPLATES:-$(cd "$root/examples/requests" && grep -L ItemInfoDict *.json | sed 's/\.json$//')}
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-28s %9s %8s %8s %6s %6s\n' template lines wall_s cpu_s MiB ratio
for name in $names; do
  template=$root/examples/templates/$name.xlsx
  request=$root/examples/requests/$name.json
  if [ ! -f "$template" ]; then
    echo "skipped $name: no examples/templates/$name.xlsx (continuous_print.json is for \`vemoprint batch\`)"
    continue
  fi
  case $name in
    *report*) engine=report ;;
    *waybill*) engine=waybill ;;
    *) engine=bill ;;
  esac
  template_sizes=("${sizes[@]}")
  [ "$name" = sales_invoice_plain ] && [ "${SALES_MILLION:-0}" = 1 ] && template_sizes+=(1000000)
  if ! grep -q '"Page2"\|"rows"' "$request"; then template_sizes=(1); fi
  base=
  for n in "${template_sizes[@]}"; do
    grown=$work/$name.$n.json
    /usr/bin/python3 "$root/bench/scale_request.py" "$request" "$n" "$grown"
    fill "$template" "$grown" "$work/$name.$n.xlsx" "$engine" >"$work/result"
    read -r wall cpu mib <"$work/result"
    [ -n "$base" ] || base=$(echo "if ($cpu > 0.01) $cpu else 0.01" | bc -l)
    printf '%-28s %9s %8s %8s %6s %6.1f\n' "$name" "$n" "$wall" "$cpu" "$mib" "$(echo "$cpu/$base" | bc -l)"
    rm -f "$grown" "$work/$name.$n.xlsx"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
