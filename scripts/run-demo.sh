#!/usr/bin/env bash
# Installs what is missing, builds, and opens the receipt list on the demo database.
#   ./scripts/run-demo.sh          # a SQLite file, build/demo.sqlite
#   ./scripts/run-demo.sh --pg     # a private PostgreSQL server in build/pg-demo (a Unix socket
#                                  # there, no TCP), stopped again when the screen closes
# Further arguments go to the demo host.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DPARLOW6_BUILD_TESTS=OFF
build_dir=${BUILD_DIR:-$root/build}
export FONTCONFIG_FILE="$root/fonts/fonts.conf"
database=(--db "$build_dir/demo.sqlite")
if [ "${1:-}" = "--pg" ]; then
    shift
    cluster="$build_dir/pg-demo"
    trap '"$root/scripts/pg-cluster.sh" stop "$cluster"' EXIT
    reach=$("$root/scripts/pg-cluster.sh" start "$cluster")
    eval "$reach"
    server="host=$PARLOW6_PG_SOCKET port=$PARLOW6_PG_PORT user=postgres"
    if ! psql "$server dbname=postgres" -Atqc "SELECT 1 FROM pg_database WHERE datname = 'suite'" | grep -q 1; then
        psql "$server dbname=postgres" -qc "CREATE DATABASE suite ENCODING 'UTF8' TEMPLATE template0"
    fi
    echo "PostgreSQL demo server: psql \"$server dbname=suite\""
    echo "the same through ODBC:  --odbc \"Driver=PostgreSQL Unicode;Servername=$PARLOW6_PG_SOCKET;Port=$PARLOW6_PG_PORT;Database=suite;UID=postgres\""
    database=(--pg "$server dbname=suite")
fi
host=("$build_dir/host/parlow6-host" "${database[@]}" "$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot="$build_dir/demo.png"
    echo "No display here: rendering the screen to $shot instead."
    QT_QPA_PLATFORM=offscreen "${host[@]}" --search --screenshot "$shot"
    exit 0
fi
"${host[@]}"
