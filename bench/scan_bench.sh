#!/usr/bin/env bash
# filemend-scan against a minimal C walk of our own over the same generated tree, warm cache.
# Usage: bench/scan_bench.sh [path/to/filemend-scan] [files]   (defaults: build-core, 200000)
# Prints files per second for both and the ratio; the target is a ratio of at least 0.9.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
scan="${1:-$here/../build-core/cli/filemend-scan}"
files="${2:-200000}"
runs=5
[ -x "$scan" ] || { echo "scan_bench: no filemend-scan at $scan (build it first)" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/filemend-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/reference_walk" "$here/reference_walk.c"
cc -O2 -o "$work/make_tree" "$here/make_tree.c"
mkdir "$work/tree"
echo "scan_bench: writing $files files under $work/tree" >&2
"$work/make_tree" "$work/tree" "$files" >/dev/null

now() { date +%s%N; }
took() { # command...: wall time of one run in nanoseconds
    local start
    start=$(now)
    "$@" >/dev/null
    echo $(( $(now) - start ))
}

read -r counted opened < <("$work/reference_walk" "$work/tree/")   # also warms the cache
"$scan" "$work/tree" >"$work/rows"
echo "scan_bench: $counted files, $opened in the size window, $(wc -l <"$work/rows") listed" >&2

# Interleaved, best of $runs each: the machine is shared, and a burst of other work then hits
# both sides alike instead of one.
ref_ns=0
scan_ns=0
for _ in $(seq "$runs"); do
    t=$(took "$work/reference_walk" "$work/tree/")
    if [ "$ref_ns" -eq 0 ] || [ "$t" -lt "$ref_ns" ]; then ref_ns=$t; fi
    t=$(took "$scan" "$work/tree")
    if [ "$scan_ns" -eq 0 ] || [ "$t" -lt "$scan_ns" ]; then scan_ns=$t; fi
done
awk -v n="$counted" -v r="$ref_ns" -v s="$scan_ns" 'BEGIN {
    printf "reference     %10.0f files/s (%.3f s)\n", n / (r / 1e9), r / 1e9
    printf "filemend-scan %10.0f files/s (%.3f s)\n", n / (s / 1e9), s / 1e9
    printf "ratio         %10.3f (target >= 0.9)\n", r / s
}'
