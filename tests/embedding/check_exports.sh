#!/bin/sh
# check_exports.sh LIBRARY [QT_MODULE]: the library's public version nodes
# (VEMOPRINT_1...) hold the C interface (vemo_*) and nothing else, and all
# it exports beside them is the project's own C++ code in the private node
# VEMOPRINT_PRIVATE: anything more would tie hosts to our C++ internals or
# export the libraries we link. The Qt module built for the library, when
# given, must define no data of the project's code (statics, singletons)
# but take it all from the library: one session and one creation service
# per process.
set -eu
symbols=$(nm -D --defined-only "$1" | awk '{print $3}')
public=$(echo "$symbols" | grep '@@*VEMOPRINT_[0-9.]*$' | sed 's/@.*//' | grep -v -e '^vemo_' -e '^VEMOPRINT_[0-9.]*$' || true)
[ -z "$public" ] || { echo "check_exports.sh: $1 exports in its public nodes:"; echo "$public" | head -20; exit 1; }
private=$(echo "$symbols" | grep -v '@@*VEMOPRINT_[0-9.]*$' | sed 's/@.*//' | grep -v '^VEMOPRINT_[0-9.A-Z_]*$' | c++filt |
  grep -v -e '^vemo::' -e '^typeinfo for vemo::' -e '^typeinfo name for vemo::' -e '^vtable for vemo::' -e '^guard variable for vemo::' || true)
[ -z "$private" ] || { echo "check_exports.sh: $1 also exports:"; echo "$private" | head -20; exit 1; }
echo "$symbols" | grep -q '^vemo_call@'
[ $# -lt 2 ] && exit 0
copies=$(nm -D --defined-only "$2" | awk '$2 ~ /^[BDGRSuV]$/ {print $3}' | c++filt | grep 'vemo::' |
  grep -v -e '^typeinfo for ' -e '^typeinfo name for ' -e '^vtable for ' -e 'vemo::ui::' || true)
[ -z "$copies" ] || { echo "check_exports.sh: $2 has its own copy of:"; echo "$copies" | head -20; exit 1; }
