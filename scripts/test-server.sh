#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the server backend's tests.
#
#   scripts/test-server.sh start <build folder>   starts it (or reuses the one
#                                                 a previous run left running)
#   scripts/test-server.sh stop <build folder>    stops it and removes its folder
#   scripts/test-server.sh crash <build folder>   stops it at once, as a power cut
#                                                 would, keeping its data
#   scripts/test-server.sh resume <build folder>  starts it again on that data
#
# The cluster lives in a folder of its own under the temporary folder, with
# its own port and socket folder, both derived from the build folder so that
# two checkouts on one machine never meet. It runs as the postgres system
# user when we are root (PostgreSQL refuses to run as root). Tests log in
# over TCP as "quill" (password "quill"), a role that may create databases.
#
# `start` writes <build folder>/test-server.txt with the connection string;
# the tests read it. When no server can be started (PostgreSQL not
# installed), the file is not written, `start` still succeeds, and the
# server tests skip: the embedded backend's suite stays green regardless.
# QUILL_REQUIRE_SERVER=1 makes a failed start an error instead.
set -uo pipefail

action=${1:?start or stop}
build=$(cd "${2:?the build folder}" && pwd)
hash=$(printf '%s' "$build" | cksum | cut -d' ' -f1)
port=$((20000 + hash % 20000))
dir="${TMPDIR:-/tmp}/quill-pg-$hash"
info="$build/test-server.txt"
log="$build/test-server.log"
options="-p $port -k $dir/socket -c listen_addresses=127.0.0.1 -c max_connections=200 -c fsync=off"

bindir=""
for candidate in /usr/lib/postgresql/*/bin; do
  [ -x "$candidate/pg_ctl" ] && bindir=$candidate
done

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

give_up() {
  echo "test-server: $*" >&2
  rm -f "$info"
  if [ "${QUILL_REQUIRE_SERVER:-0}" = 1 ]; then exit 1; fi
  echo "test-server: the server tests will be skipped" >&2
  exit 0
}

running() {
  [ -f "$dir/data/postmaster.pid" ] && as_owner "$bindir/pg_ctl" -D "$dir/data" status >/dev/null 2>&1
}

case "$action" in
  start)
    [ -n "$bindir" ] || give_up "PostgreSQL is not installed (scripts/setup.sh installs it)"
    if ! running; then
      # A folder left by a run that was killed: start afresh.
      rm -rf "$dir"
      mkdir -p "$dir/data" "$dir/socket"
      [ "$(id -u)" -eq 0 ] && chown -R postgres: "$dir"
      printf 'quill-admin\n' >"$dir/pwfile"
      [ "$(id -u)" -eq 0 ] && chown postgres: "$dir/pwfile"
      as_owner "$bindir/initdb" -D "$dir/data" -U postgres --pwfile="$dir/pwfile" -E UTF8 --locale=C.UTF-8 \
        --auth-local=trust --auth-host=scram-sha-256 >"$log" 2>&1 || give_up "initdb failed (see $log)"
      as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "$options" \
        start >>"$log" 2>&1 || give_up "the server did not start (see $dir/server.log)"
      as_owner "$bindir/psql" -h "$dir/socket" -p "$port" -U postgres -d postgres -v ON_ERROR_STOP=1 -q \
        -c "CREATE ROLE quill LOGIN CREATEDB PASSWORD 'quill'" >>"$log" 2>&1 || give_up "the test role was not created"
    fi
    cat >"$info" <<EOF
Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=127.0.0.1:$port;Initial Catalog=postgres;User ID=quill;Password=quill
EOF
    echo "test-server: PostgreSQL on 127.0.0.1:$port ($dir)"
    ;;
  stop)
    rm -f "$info"
    if [ -n "$bindir" ] && running; then
      as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1
    fi
    rm -rf "$dir"
    ;;
  crash)
    [ -n "$bindir" ] && running || { echo "test-server: not running" >&2; exit 1; }
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
    ;;
  resume)
    [ -n "$bindir" ] && [ -d "$dir/data" ] || { echo "test-server: nothing to resume" >&2; exit 1; }
    running || as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "$options" \
      start >>"$log" 2>&1 || { echo "test-server: the server did not start again" >&2; exit 1; }
    ;;
  *)
    echo "usage: $0 start|stop|crash|resume <build folder>" >&2
    exit 2
    ;;
esac
