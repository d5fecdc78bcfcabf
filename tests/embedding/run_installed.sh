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
# The installed library loads its Qt module into a Python host (a local load):
# a setup dialog gets to its data (none here), not to "needs a display".
[ -f "$build/libvemo-qt-ui-c.so" ] || exit 0  # built without Qt
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen VEMO_DATA_DIR="$prefix/no-data" HOME="$prefix" /usr/bin/python3 -c '
import ctypes, sys
lib, setup = ctypes.CDLL(sys.argv[1]), ctypes.c_void_p()
lib.vemo_last_error.restype = ctypes.c_char_p
lib.vemo_initialize(None), lib.vemo_create(b"VemoPrintExport.ExportActionSetupLM", ctypes.byref(setup))
status = lib.vemo_call(setup, b"NotePrintSetup", None, ctypes.c_size_t(0), None)
assert status == 1000 and b"company database" in lib.vemo_last_error(), (status, lib.vemo_last_error().decode())
' "$libdir/libvemoprint.so.1"
