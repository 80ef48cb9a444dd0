#!/usr/bin/env bash
# Builds optimised and runs the benchmark: every figure on 1,000,000 orders, the search also on
# 100,000 and 3,000,000 (the databases are generated once under build-bench/; the first run takes a
# few minutes more for them). Arguments go to the benchmark, e.g. --runs 9 or --orders 1000000.
#
#   ./scripts/run-bench.sh --pg [--runs N]
#
# measures the same 1,000,000 orders on a private PostgreSQL server instead (started in
# build-bench/pg-bench on a Unix socket, loaded once with COPY, stopped at the end), through
# Qt's driver and through psqlODBC, against psql.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
BUILD_DIR=${BUILD_DIR:-$root/build-bench} BUILD_TYPE=Release \
    "$root/scripts/build.sh" -DPARLOW6_BUILD_TESTS=OFF
build_dir=${BUILD_DIR:-$root/build-bench}
cd "$build_dir"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} FONTCONFIG_FILE="$root/fonts/fonts.conf"
bench=./bench/parlow6-bench
if [ "${1:-}" != "--pg" ]; then
    exec "$bench" --db "$build_dir/bench-orders.sqlite" --out "$build_dir/bench-results.json" "$@"
fi
shift

cluster="$build_dir/pg-bench"
trap '"$root/scripts/pg-cluster.sh" stop "$cluster"' EXIT
reach=$("$root/scripts/pg-cluster.sh" start "$cluster")
eval "$reach"
server="host=$PARLOW6_PG_SOCKET port=$PARLOW6_PG_PORT user=postgres"
conninfo="$server dbname=bench"
odbc="Driver=PostgreSQL Unicode;Servername=$PARLOW6_PG_SOCKET;Port=$PARLOW6_PG_PORT;Database=bench;UID=postgres;CommLog=0;Debug=0"
if ! psql -X "$server dbname=postgres" -Atqc "SELECT 1 FROM pg_database WHERE datname = 'bench'" | grep -q 1; then
    # The benchmark's SQLite orders, generated once, go in with COPY; what no
    # date or number is (the generator's odd values) goes in as Null or its
    # digits, as the server's typed columns take it.
    sqlite="$build_dir/bench-orders.sqlite"
    [ -f "$sqlite" ] || "$bench" --generate-only --db "$sqlite" --orders 1000000
    echo "loading $sqlite into PostgreSQL ..."
    psql -X "$server dbname=postgres" -qc "CREATE DATABASE bench ENCODING 'UTF8' TEMPLATE template0"
    psql -X -q -v ON_ERROR_STOP=1 -d "$conninfo" -f "$root/sql/postgresql_schema.sql"
    date="GLOB '[12][0-9][0-9][0-9]/[01][0-9]/[0-3][0-9]'"
    for table in SHOP PAYMENT CONTROL; do
        sqlite3 -csv "$sqlite" "SELECT * FROM [$table]" |
            psql -X -q -v ON_ERROR_STOP=1 -d "$conninfo" -c "\\copy \"$table\" FROM STDIN CSV"
    done
    sqlite3 -csv "$sqlite" "SELECT [ID], [会社名], [氏名], [電話番号],
            CASE WHEN [受注日] $date AND [受注日] > '1000' THEN [受注日] END, CAST([請求額] AS INTEGER),
            CASE WHEN [入金日] $date THEN [入金日] END, [入金額], [支払方法], [TEL1],
            CASE WHEN [出荷日] $date THEN [出荷日] END, [ショップID], [入金確認送信] FROM [CHUMON]" |
        psql -X -q -v ON_ERROR_STOP=1 -d "$conninfo" -c "\\copy \"CHUMON\" FROM STDIN CSV"
    psql -X -q -d "$conninfo" -c "VACUUM ANALYZE"
fi
"$bench" --pg "$conninfo" --odbc "$odbc" --out "$build_dir/bench-server-results.json" "$@"
