#!/bin/sh
# check-package.sh [BUILD_DIR]: builds the Debian package, installs it into
# a fresh Debian 12 root (debootstrap, minbase) with the dependencies it
# declares fetched from Debian's archive, runs `vemoprint demo` there, then
# builds the C host example against the installed headers (pkg-config) and
# runs it and the Python host example against the installed library.
# Needs root, debootstrap and the Debian mirror ($VEMO_DEBIAN_MIRROR,
# default deb.debian.org). It takes minutes (the root, then the
# dependencies, LibreOffice and Qt above all); each stage prints its time.
set -eu
build=${1:-build}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
mirror=${VEMO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
command -v debootstrap >/dev/null || { echo "check-package.sh: install debootstrap first (apt-get install debootstrap)" >&2; exit 2; }
start=$(date +%s)
stamp() { echo "check-package.sh: $1 after $(( $(date +%s) - start )) s"; }

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/vemoprint_*.deb | head -1)
echo "package: $deb"
dpkg-deb --field "$deb" Depends
stamp "package built"

root=$(mktemp -d /var/tmp/vemoprint-root.XXXXXX)
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root" "$root.log"
}
trap cleanup EXIT
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 || { tail "$root.log" >&2; exit 1; }
stamp "clean root made"
cp "$deb" "$root/tmp/"
cp "$source_dir/tests/embedding/run_examples.sh" "$root/tmp/"
mount -t proc proc "$root/proc"
# dpkg -i installs the package; apt-get then brings the dependencies it names.
name=$(basename "$deb")
chroot "$root" sh -c "dpkg -i /tmp/$name >/dev/null 2>&1; apt-get update -qq && apt-get install -f -y -qq >/dev/null"
chroot "$root" dpkg -s vemoprint | grep -q "^Status: install ok installed"
stamp "package and its dependencies installed"
chroot "$root" sh -c "cd /tmp && HOME=/tmp vemoprint demo --out /tmp/out"
test -s "$root/tmp/out/销售发票.xlsx"
stamp "demo ran"

# A host's own tools, not the package's dependencies: a C compiler and
# pkg-config to build the C example, Python for the ctypes one.
chroot "$root" sh -c "apt-get install -y -qq --no-install-recommends gcc libc6-dev pkg-config python3 >/dev/null"
chroot "$root" sh -c '
  set -eu
  examples=/usr/share/vemoprint/examples
  cc -o /tmp/export_invoice $examples/host/export_invoice.c $(pkg-config --cflags --libs vemoprint)
  library=$(dpkg -L vemoprint | grep "/libvemoprint\.so\.1$")
  sh /tmp/run_examples.sh /usr/bin/vemoprint /tmp/export_invoice "$library" $examples'
stamp "the C and Python host examples ran against the installed package"
echo "check-package.sh: the package installs on a fresh Debian 12 root, its demo and the host examples run"
