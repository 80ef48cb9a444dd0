#!/usr/bin/env bash
# A private, throwaway PostgreSQL 15 cluster in a folder of its own:
#
#   scripts/pg-cluster.sh start DIR   # prints the environment to reach it (eval it)
#   scripts/pg-cluster.sh stop DIR
#
# It listens on a Unix socket inside DIR only (no TCP), trusts local
# connections, and runs as an unprivileged user: as root, the `postgres`
# system user (PostgreSQL refuses to run as root).
set -euo pipefail

action=${1:?start or stop}
dir=${2:?cluster folder}
bindir=${PG_BINDIR:-/usr/lib/postgresql/15/bin}
port=${PARLOW6_PG_PORT_WANTED:-5432}

as_owner=()
if [ "$(id -u)" -eq 0 ]; then
    as_owner=(runuser -u postgres --)
fi

case "$action" in
start)
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$dir"
    fi
    chmod 0700 "$dir"
    if [ ! -f "$dir/data/PG_VERSION" ]; then
        "${as_owner[@]}" "$bindir/initdb" -D "$dir/data" -U postgres --auth=trust \
            --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
            { cat "$dir/initdb.log" >&2; exit 1; }
    fi
    # The socket lives in the cluster's own folder, which only its owner (and
    # root, who runs the tests in CI) can enter: nobody else can connect.
    # fsync off is safe for a throwaway cluster: the tests crash the server,
    # not the machine. Commits stay synchronous, or an immediate restart
    # would lose the orders a test has just committed.
    "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -k $dir -p $port -c fsync=off \
            -c full_page_writes=off -c max_connections=60" start >/dev/null ||
        { cat "$dir/server.log" >&2; exit 1; }
    echo "export PARLOW6_PG_SOCKET=$dir PARLOW6_PG_PORT=$port PARLOW6_PG_DATA=$dir/data"
    echo "export PARLOW6_PG_CTL='${as_owner[*]} $bindir/pg_ctl'"
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
