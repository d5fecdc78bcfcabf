#!/bin/sh
# run_installed.sh BUILD_DIR: installs the build into a throwaway prefix,
# builds the C host example from there with pkg-config and with
# find_package(VemoPrint), and runs the examples against the installed files.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name libvemoprint.so -print -quit)")
examples="$prefix/share/vemoprint/examples"
PKG_CONFIG_PATH="$libdir/pkgconfig" cc -o "$prefix/with_pkg_config" "$examples/host/export_invoice.c" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs vemoprint)
cmake -S "$examples/host" -B "$prefix/host-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$prefix/host-build" >/dev/null
export LD_LIBRARY_PATH="$libdir"
sh "$(dirname "$0")/run_examples.sh" "$prefix/bin/vemoprint" "$prefix/with_pkg_config" "$libdir/libvemoprint.so.1" "$examples"
sh "$(dirname "$0")/run_examples.sh" "$prefix/bin/vemoprint" "$prefix/host-build/export_invoice" "$libdir/libvemoprint.so.1" "$examples"
