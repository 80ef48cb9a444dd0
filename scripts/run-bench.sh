#!/usr/bin/env bash
# Builds optimised and runs the benchmark: every figure on 1,000,000 orders, the search also on
# 100,000 and 3,000,000 (the databases are generated once under build-bench/; the first run takes a
# few minutes more for them). Arguments go to the benchmark, e.g. --runs 9 or --orders 1000000.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
BUILD_DIR=${BUILD_DIR:-$root/build-bench} BUILD_TYPE=Release \
    "$root/scripts/build.sh" -DPARLOW6_BUILD_TESTS=OFF
build_dir=${BUILD_DIR:-$root/build-bench}
cd "$build_dir"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} FONTCONFIG_FILE="$root/fonts/fonts.conf" \
    ./bench/parlow6-bench --db "$build_dir/bench-orders.sqlite" --out "$build_dir/bench-results.json" "$@"
