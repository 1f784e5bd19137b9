#!/usr/bin/env bash
# A private PostgreSQL server for the tests: pg-test-server.sh start|restart|stop|halt <folder> <port> [-c name=value …]
# It runs from <folder> (data, log and the socket), listens on the local socket only, as an
# unprivileged user (the server refuses root: as root it runs as the distribution's "postgres" user),
# and asks for a password: the role "zarvel" with the password "zarvel-test", so logins that fail are
# tested for real. "restart" starts the server of an existing folder again (after a crash: it recovers).
# Stopped and removed by "stop"; "halt" stops it and keeps the folder for a later "restart". Settings
# after the port (-c name=value) are the server's beside and over the tests' own.
set -euo pipefail
action="$1"
folder="$2"
port="${3:-54329}"
shift $(( $# < 3 ? $# : 3 ))
settings=("$@")
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)"
[ -x "$bin/pg_ctl" ] || { echo "PostgreSQL is not installed (apt-get install postgresql)" >&2; exit 1; }

as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

halt() {
  if [ -f "$folder/data/postmaster.pid" ]; then
    as_server "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null || true
  fi
}

stop() {
  halt
  rm -rf "$folder"
}

launch() {
  as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
    -o "-k $folder -c listen_addresses= -p $port -c fsync=off -c max_connections=60 ${settings[*]}" start >/dev/null ||
    { cat "$folder/server.log" >&2; exit 1; }
}

case "$action" in
restart)
  # A server killed a moment ago may still be going down: wait for it, at most ten seconds.
  if [ -f "$folder/data/postmaster.pid" ]; then
    old="$(head -1 "$folder/data/postmaster.pid")"
    for _ in $(seq 100); do kill -0 "$old" 2>/dev/null || break; sleep 0.1; done
  fi
  launch
  ;;
start)
  stop  # what a run stopped midway left
  mkdir -p "$folder"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$folder"
  chmod 0700 "$folder"
  as_server bash -c "printf '%s\n' zarvel-test > '$folder/password'"
  as_server "$bin/initdb" -D "$folder/data" -U zarvel --pwfile="$folder/password" --auth=scram-sha-256 \
    --encoding=UTF8 --locale=C.UTF-8 >"$folder/initdb.log" 2>&1 || { cat "$folder/initdb.log" >&2; exit 1; }
  # The socket's folder must be reachable by the tests' user; the data stays the server's own.
  chmod 0711 "$folder"
  launch
  echo "PostgreSQL $("$bin/postgres" --version | awk '{print $3}') for the tests: socket in $folder, port $port"
  ;;
stop)
  stop
  ;;
halt)
  halt
  ;;
*)
  echo "usage: $0 start|restart|stop|halt <folder> [port] [-c name=value …]" >&2
  exit 2
  ;;
esac
