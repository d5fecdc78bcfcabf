#!/usr/bin/env bash
# Installs the Debian packages VemoPrintExport needs (only the missing ones),
# then configures and builds into build/. Safe to run again.
#   scripts/setup.sh                 install + build (Release with debug info)
#   VEMO_BUILD_DIR=dir VEMO_CMAKE_ARGS="-DVEMO_SANITIZE=ON" scripts/setup.sh
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # libzip: only the tests' independent zip reader and writer (packages are ours over zlib)
  libzip-dev zlib1g-dev libpugixml-dev libsqlite3-dev nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libqrencode-dev libzint-dev
  # barcode captions: FreeType draws the text in a font fontconfig chooses
  libfreetype-dev libfontconfig-dev
  # openpyxl only recommends Pillow, which the picture tests need to read
  # the pictures back; setup installs without recommends, so name it here
  python3 python3-openpyxl python3-pil
  # mail: libcurl sends to an SMTP server (its header at build time; the
  # library is loaded by the first mail); the mail tests run a real SMTP
  # server on the loopback address
  libcurl4-openssl-dev python3-aiosmtpd
  # an independent .xls reader: the tests compare our .xls output with the input through it
  python3-xlrd
  # independent checkers used by the tests: LibreOffice as a second reader,
  # poppler for page counts, zbar to decode barcodes and QR codes
  libreoffice-calc-nogui python3-uno poppler-utils zbar-tools
  # output: LibreOffice renders pages (above), CUPS prints them; the CUPS
  # daemon and filters also serve the sandbox queue of the print tests
  libcups2-dev cups-daemon cups-client cups-filters
  # the company database on a server: libpq's header at build time (the
  # library is loaded by the first server connection); the PostgreSQL 15
  # server runs the tests' private database server (scripts/pg-sandbox.sh)
  libpq-dev postgresql
  # our page renderer: cairo and Pango draw the pages, libjpeg reads JPEG pictures
  libcairo2-dev libpango1.0-dev libjpeg62-turbo-dev
  # Chinese text in rendered pages (aliases for the Windows font names below)
  fonts-arphic-uming fonts-wqy-zenhei fontconfig
  # scripts/check-package.sh installs the Debian package into a fresh root
  debootstrap
  # the preview window (ui/, optional: skipped when Qt is missing)
  qt6-base-dev qt6-pdf-dev
)
if [ -n "${VEMO_EXTRA_PACKAGES:-}" ]; then
  # shellcheck disable=SC2206
  packages+=(${VEMO_EXTRA_PACKAGES})
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Windows CJK font names used by templates -> installed faces.
fonts_conf=/etc/fonts/conf.d/64-vemo-cjk-aliases.conf
if ! cmp -s scripts/fonts/64-vemo-cjk-aliases.conf "$fonts_conf"; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd install -m 0644 scripts/fonts/64-vemo-cjk-aliases.conf "$fonts_conf"
  $sudo_cmd fc-cache -f >/dev/null
fi

build_dir="${VEMO_BUILD_DIR:-build}"
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" -G Ninja ${VEMO_CMAKE_ARGS:-}
cmake --build "$build_dir" -j "$(nproc)"
# The printer hook libraries go where the engine loads them: the common
# files folder of the machine configuration (docs/output.md). A sanitizer
# build's libraries would not load into an ordinary process: not those.
case "${VEMO_CMAKE_ARGS:-}" in
  *VEMO_SANITIZE=ON*) ;;
  *) "$build_dir/vemoprint" install-printer-hooks ;;
esac
