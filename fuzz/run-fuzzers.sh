#!/usr/bin/env bash
# Builds the fuzz targets with clang in a folder of their own, writes the seed corpora and runs every
# target for a bounded time. Fails when any target finds a crash, a leak, a time-out or a broken
# check; the input that did it is kept in <build>/crashes/ to become a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${FILEMEND_FUZZ_BUILD:-build/fuzz}
seconds=${FILEMEND_FUZZ_SECONDS:-20}
jobs=$(nproc 2>/dev/null || echo 2)
targets=(classifier_fuzz text_fuzz preview_fuzz report_fuzz drop_fuzz)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DFILEMEND_FUZZ=ON -DFILEMEND_BUILD_GUI=OFF -DFILEMEND_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fuzzers

rm -rf "$build/seeds"
"$build/fuzz/fuzz_make_seeds" "$build/seeds"
mkdir -p "$build/crashes" "$build/logs"

# The corpus each target grows is kept between runs, so later runs start where earlier ones ended.
run_one() {
    local target=$1
    mkdir -p "$build/corpus/$target"
    "$build/fuzz/$target" "$build/corpus/$target" "$build/seeds/$target" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/crashes/$target-" >"$build/logs/$target.log" 2>&1
}

declare -A pids
failed=0
for target in "${targets[@]}"; do
    run_one "$target" &
    pids[$target]=$!
    # No more fuzzers at once than there are cores; each is single-threaded.
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 1; done
done
for target in "${targets[@]}"; do
    status=0
    wait "${pids[$target]}" || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log")
    if [ "$status" -eq 0 ]; then
        echo "fuzz: $target: ${runs:-?} executions, no crash"
    else
        failed=1
        echo "fuzz: $target: CRASH after ${runs:-?} executions (exit $status); log follows" >&2
        tail -n 40 "$build/logs/$target.log" >&2
    fi
done
exit "$failed"
