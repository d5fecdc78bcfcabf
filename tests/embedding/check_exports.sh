#!/bin/sh
# check_exports.sh LIBRARY: the library exports the C interface (vemo_*) and
# nothing else; anything more would tie hosts to our C++ internals.
set -eu
extra=$(nm -D --defined-only "$1" | awk '{sub(/@.*/, "", $3); print $3}' | grep -v -e '^vemo_' -e '^VEMOPRINT_[0-9.]*$' || true)
[ -z "$extra" ] || { echo "check_exports.sh: $1 also exports:"; echo "$extra" | head -20; exit 1; }
nm -D --defined-only "$1" | grep -q ' vemo_call@'
