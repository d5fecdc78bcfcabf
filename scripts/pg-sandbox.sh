#!/usr/bin/env bash
# A private PostgreSQL server for tests, benchmarks and CI: its own cluster
# (initdb) in one folder, listening only on a Unix socket in that folder,
# started and stopped with pg_ctl; no system service is touched.
#
#   eval "$(scripts/pg-sandbox.sh start FOLDER)"   starts it; prints the
#        exports clients need: VEMO_TEST_PG (the socket folder, a "Data
#        Source" the company database accepts) and PGUSER (its superuser)
#   scripts/pg-sandbox.sh stop FOLDER              stops it by its pid
#   scripts/pg-sandbox.sh run FOLDER -- CMD...     start, run CMD, stop
#
# Needs the Debian package postgresql (15). Without its programs, "run"
# prints one line saying so and exits 77 (the test runner's "skipped").
set -euo pipefail

usage() { sed -n '2,13p' "$0" >&2; exit 2; }
[ $# -ge 2 ] || usage
action="$1"
dir="$(mkdir -p "$2" && cd "$2" && pwd)"
shift 2

bin="${VEMO_PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)}"
superuser=vemo_test
have_server() { [ -n "$bin" ] && [ -x "$bin/initdb" ] && [ -x "$bin/pg_ctl" ]; }

# initdb and the server refuse to run as root: then they run as the
# postgres account the package creates, in a folder it owns.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

start() {
  have_server || { echo "pg-sandbox: PostgreSQL server programs not found (install the postgresql package)" >&2; exit 1; }
  if [ -f "$dir/data/postmaster.pid" ] && kill -0 "$(head -1 "$dir/data/postmaster.pid")" 2>/dev/null; then
    echo "pg-sandbox: already running in $dir" >&2; exit 1
  fi
  [ "$(id -u)" -ne 0 ] || chown postgres: "$dir"
  chmod 0755 "$dir"
  as_owner "$bin/initdb" -D "$dir/data" -U "$superuser" --auth=trust --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  # Test settings: no durability needed, no TCP port, a socket in FOLDER.
  as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=60" \
    start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
  echo "export VEMO_TEST_PG='$dir' PGUSER='$superuser'"
}

stop() {
  local pidfile="$dir/data/postmaster.pid"
  [ -f "$pidfile" ] || return 0
  local pid; pid="$(head -1 "$pidfile")"
  # Stopped by its own pid: SIGINT is the server's fast shutdown.
  kill -INT "$pid" 2>/dev/null || true
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
}

case "$action" in
  start) start ;;
  stop) stop ;;
  run)
    [ "${1:-}" = "--" ] && shift
    [ $# -ge 1 ] || usage
    if ! have_server; then
      echo "pg-sandbox: SKIPPED, the PostgreSQL server programs are missing (install the postgresql package): $*" >&2
      exit 77
    fi
    # A server that did not start must fail the run, not leave the command
    # to run against nothing (or, for the tests, the embedded database).
    exports=$(start) || exit 1
    eval "$exports"
    export VEMO_TEST_PG PGUSER
    status=0
    "$@" || status=$?
    stop
    exit $status ;;
  *) usage ;;
esac
