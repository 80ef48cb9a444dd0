#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build-asan}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug \
    -DPARLOW6_SANITIZE=ON -DPARLOW6_BUILD_TESTS=ON -DPARLOW6_BUILD_HOST=OFF "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
cd "$build_dir"
# Leaks count too; set ASAN_OPTIONS=detect_leaks=0 where a system library leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The server tests run in the main suite only: the client libraries of
# PostgreSQL and its ODBC driver are not built for the sanitizers.
ctest --output-on-failure -j"$(nproc)" -E 'tst_server|tst_manyoperators'
