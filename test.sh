#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless through ctest.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=${FILEMEND_TEST_BUILD:-build/test}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300

# The same suite again with address, undefined-behaviour and leak checks. -O1 keeps the build and
# the run short; -g1 keeps file and line in the stacks at a fraction of the debug information.
asan=${FILEMEND_ASAN_BUILD:-build/asan}
cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFILEMEND_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DCMAKE_C_FLAGS_DEBUG="-g1 -O1" >/dev/null
cmake --build "$asan" -j "$jobs"
# The type-mismatch check is off: the browser engine deletes through base pointers of its own
# allocator on every page it closes. Our code gets the same protection from -Wdelete-non-virtual-dtor.
ASAN_OPTIONS=detect_leaks=1:new_delete_type_mismatch=0 \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$asan" --output-on-failure -j "$jobs" --timeout 600

# Every fuzz target for a bounded time; a crash fails the run and leaves its input behind.
./fuzz/run-fuzzers.sh

if [ -d "$build/screenshots" ]; then
    echo "Screenshots of the window: $build/screenshots"
fi
