#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts filemend. Without a display it scans a
# folder of demo samples with filemend-scan instead, so the tool can be tried at once.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/release
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFILEMEND_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs"

demo="$PWD/$build/demo"
if [ ! -d "$demo" ] && [ -x "$build/cli/filemend-make-demo" ]; then
    "$build/cli/filemend-make-demo" "$demo" >/dev/null
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: scanning the demo folder $demo with filemend-scan." >&2
    exec "$build/cli/filemend-scan" "$demo"
fi

[ -d "$demo" ] && echo "Demo samples to try: type or drop $demo into the folder box, then press 扫描." >&2
exec "$build/app/filemend" "$@"
