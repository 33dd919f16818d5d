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

if [ -d "$build/screenshots" ]; then
    echo "Screenshots of the window: $build/screenshots"
fi
