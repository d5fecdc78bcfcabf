#!/bin/sh
# check-package.sh [BUILD_DIR]: builds the Debian package, installs it into
# a fresh Debian 12 root (debootstrap, minbase) with the dependencies it
# declares fetched from Debian's archive, and runs `vemoprint demo` there.
# Needs root, debootstrap and the Debian mirror ($VEMO_DEBIAN_MIRROR,
# default deb.debian.org). It takes minutes (measured: 9 minutes, of which
# 3 for the root and 5 for the dependencies, LibreOffice and Qt above all),
# so it runs beside the test suite, not inside it.
set -eu
build=${1:-build}
mirror=${VEMO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
command -v debootstrap >/dev/null || { echo "check-package.sh: install debootstrap first (apt-get install debootstrap)" >&2; exit 2; }
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/vemoprint_*.deb | head -1)
echo "package: $deb"
dpkg-deb --field "$deb" Depends

root=$(mktemp -d /var/tmp/vemoprint-root.XXXXXX)
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 || { tail "$root.log" >&2; exit 1; }
rm -f "$root.log"
cp "$deb" "$root/tmp/"
mount -t proc proc "$root/proc"
# dpkg -i installs the package; apt-get then brings the dependencies it names.
name=$(basename "$deb")
chroot "$root" sh -c "dpkg -i /tmp/$name >/dev/null 2>&1; apt-get update -qq && apt-get install -f -y -qq >/dev/null"
chroot "$root" dpkg -s vemoprint | grep -q "^Status: install ok installed"
chroot "$root" sh -c "cd /tmp && HOME=/tmp vemoprint demo --out /tmp/out"
test -s "$root/tmp/out/销售发票.xlsx"
echo "check-package.sh: the package installs on a fresh Debian 12 root and its demo runs"
