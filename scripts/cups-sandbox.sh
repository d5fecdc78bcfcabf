#!/usr/bin/env bash
# A private CUPS server for tests and CI: its own cupsd, run as the current
# user with every file in one folder, and one file-backed queue ("TestPDF",
# the default destination) whose jobs land as a PDF in FOLDER/printed.pdf
# (each job overwrites it).
#
#   eval "$(scripts/cups-sandbox.sh start FOLDER)"   starts it; prints the
#        exports clients need: CUPS_SERVER (the server's socket) and
#        VEMO_CUPS_SANDBOX (FOLDER, which the end-to-end print tests look for)
#   scripts/cups-sandbox.sh stop FOLDER              stops it by its pid
#   scripts/cups-sandbox.sh run FOLDER -- CMD...     start, run CMD, stop
#
# Needs the Debian packages cups-daemon, cups-client and cups-filters.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# A plain A4 PDF "printer": the job's PDF passes through unchanged.
ppd="${VEMO_SANDBOX_PPD:-$here/printer/plainpdf.ppd}"

usage() { sed -n '2,15p' "$0" >&2; exit 2; }
[ $# -ge 2 ] || usage
action="$1"
dir="$(mkdir -p "$2" && cd "$2" && pwd)"
shift 2

start() {
  for tool in /usr/sbin/cupsd lpadmin; do
    command -v "$tool" >/dev/null || { echo "cups-sandbox: $tool is missing; install cups-daemon and cups-client" >&2; exit 1; }
  done
  [ -f "$ppd" ] || { echo "cups-sandbox: printer description $ppd not found (set VEMO_SANDBOX_PPD)" >&2; exit 1; }
  if [ -f "$dir/cupsd.pid" ] && kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then
    echo "cups-sandbox: already running in $dir (pid $(cat "$dir/cupsd.pid"))" >&2; exit 1
  fi
  # cupsd refuses to run its filters as root: started by root it runs them
  # as lp, which must then reach the server's files. Those go to a folder
  # of their own below /tmp (the socket, pid and printed file stay in FOLDER).
  local root="$dir" user group sysgroup=root
  user="$(id -un)"; group="$(id -gn)"
  if [ "$(id -u)" -eq 0 ]; then
    root="$(mktemp -d /tmp/vemo-cups-XXXXXX)"
    chmod 0755 "$root"
    user=lp; group=lp
  fi
  echo "$root" > "$dir/server-root"
  mkdir -p "$root"/{log,spool/tmp,cache,state,ppd}
  cat > "$root/cups-files.conf" <<CONF
FileDevice Yes
User $user
Group $group
SystemGroup $sysgroup
ServerRoot $root
StateDir $root/state
CacheDir $root/cache
RequestRoot $root/spool
TempDir $root/spool/tmp
ServerBin /usr/lib/cups
DataDir /usr/share/cups
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
CONF
  cat > "$root/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
  /usr/sbin/cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" >"$dir/cupsd.out" 2>&1 &
  echo $! > "$dir/cupsd.pid"
  for _ in $(seq 100); do
    [ -S "$dir/cups.sock" ] && break
    sleep 0.05
  done
  [ -S "$dir/cups.sock" ] || { echo "cups-sandbox: cupsd did not start; see $dir/cupsd.out and $root/log" >&2; stop; exit 1; }
  CUPS_SERVER="$dir/cups.sock" lpadmin -p TestPDF -E -v "file://$dir/printed.pdf" -P "$ppd"
  CUPS_SERVER="$dir/cups.sock" lpadmin -d TestPDF
  echo "export CUPS_SERVER='$dir/cups.sock' VEMO_CUPS_SANDBOX='$dir'"
}

stop() {
  [ -f "$dir/cupsd.pid" ] || return 0
  local pid
  pid="$(cat "$dir/cupsd.pid")"
  if kill "$pid" 2>/dev/null; then
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$dir/cupsd.pid" "$dir/cups.sock"
  if [ -f "$dir/server-root" ]; then
    local root
    root="$(cat "$dir/server-root")"
    # Only a folder this script made below /tmp is removed.
    case "$root" in /tmp/vemo-cups-*) rm -rf "$root" ;; esac
    rm -f "$dir/server-root"
  fi
}

case "$action" in
  start) start ;;
  stop) stop ;;
  run)
    [ "${1:-}" = "--" ] && shift
    [ $# -gt 0 ] || usage
    eval "$(start)"
    export CUPS_SERVER VEMO_CUPS_SANDBOX
    trap stop EXIT
    "$@"
    ;;
  *) usage ;;
esac
