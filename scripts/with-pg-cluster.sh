#!/usr/bin/env bash
# Runs a command with a throwaway PostgreSQL cluster of its own: started in a
# temporary folder (a Unix socket there, no TCP), reachable through the
# PARLOW6_PG_* variables, stopped and removed when the command ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cluster=$(mktemp -d "${TMPDIR:-/tmp}/parlow6-pg.XXXXXX")
cleanup() {
    "$root/scripts/pg-cluster.sh" stop "$cluster"
    rm -rf "$cluster"
}
trap cleanup EXIT
reach=$("$root/scripts/pg-cluster.sh" start "$cluster")
eval "$reach"
echo "PostgreSQL test cluster on socket $PARLOW6_PG_SOCKET"
"$@"
