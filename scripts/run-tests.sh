#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test,
# the server tests on a throwaway PostgreSQL cluster of their own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
BUILD_DIR=${BUILD_DIR:-$root/build-tests} BUILD_TYPE=Debug \
    "$root/scripts/build.sh" -DPARLOW6_WARNINGS_AS_ERRORS=ON -DPARLOW6_BUILD_TESTS=ON
cd "${BUILD_DIR:-$root/build-tests}"
"$root/scripts/with-pg-cluster.sh" ctest --output-on-failure -j"$(nproc)"
