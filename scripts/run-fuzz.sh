#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS seconds
# (default 30): ./scripts/run-fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build-fuzz}
seconds=${1:-30}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fieldvalue sqlcatalog profilestring statementfile)
fi

"$root/scripts/install-deps.sh" clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPARLOW6_BUILD_FUZZERS=ON -DPARLOW6_BUILD_TESTS=OFF -DPARLOW6_BUILD_HOST=OFF >/dev/null
for target in "${targets[@]}"; do
    cmake --build "$build_dir" --target "fuzz_$target" -j"$(nproc)"
done

status=0
for target in "${targets[@]}"; do
    corpus="$build_dir/corpus/$target"
    mkdir -p "$corpus" "$build_dir/findings"
    echo "== fuzz_$target for ${seconds}s"
    if ! (cd "$build_dir/findings" && "$build_dir/fuzz/fuzz_$target" "$corpus" "$root/fuzz/seeds/$target" \
            -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1); then
        echo "fuzz_$target found a failing input; see $build_dir/findings"
        status=1
    fi
done
exit $status
