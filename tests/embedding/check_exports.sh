#!/bin/sh
# check_exports.sh LIBRARY [QT_MODULE]: public nodes (VEMOPRINT_1...) hold only
# vemo_*, VEMOPRINT_PRIVATE only our C++ code, nothing of the libraries linked;
# the Qt module defines no data of our code: one session per process.
set -eu
symbols=$(nm -D --defined-only "$1" | awk '{print $3}' | grep -v '^VEMOPRINT_[0-9.A-Z_]*$')
extra=$( (echo "$symbols" | grep '@@VEMOPRINT_[0-9.]*$' | grep -v '^vemo_' || true
  echo "$symbols" | grep -v '@@VEMOPRINT_[0-9.]*$' | sed 's/@.*//' | c++filt |
    grep -v -E '^((typeinfo|typeinfo name|vtable|guard variable) for )?vemo::') || true)
[ -z "$extra" ] || { echo "check_exports.sh: $1 also exports:"; echo "$extra" | head -20; exit 1; }
echo "$symbols" | grep -q '^vemo_call@'
[ $# -lt 2 ] && exit 0
copies=$(nm -D --defined-only "$2" | awk '$2 ~ /^[BDGRSuV]$/ {print $3}' | c++filt | grep 'vemo::' |
  grep -v -E '^(typeinfo|typeinfo name|vtable) for |vemo::ui::' || true)
[ -z "$copies" ] || { echo "check_exports.sh: $2 has its own copy of:"; echo "$copies" | head -20; exit 1; }
