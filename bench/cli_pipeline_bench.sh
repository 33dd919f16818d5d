#!/usr/bin/env bash
# filemend-scan with worker threads against itself with --threads 1, on the same generated tree,
# warm cache and cold. Cold runs drop the page cache first (root only; otherwise they are skipped).
# Usage: bench/cli_pipeline_bench.sh [path/to/filemend-scan] [files] [threads...]
#        (defaults: build-cli-release, 100000 files, threads 2 3 4)
# Prints the best wall time of each setting and its ratio to --threads 1 (above 1: faster).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
scan="${1:-$here/../build-cli-release/cli/filemend-scan}"
files="${2:-100000}"
shift $(( $# > 2 ? 2 : $# ))
settings=("$@")
[ ${#settings[@]} -gt 0 ] || settings=(2 3 4)
runs=5
cold_runs=3
[ -x "$scan" ] || { echo "cli_pipeline_bench: no filemend-scan at $scan (build it first)" >&2; exit 2; }

# On a real disk: a tree in a memory file system has no cold cache to measure.
work="$(mktemp -d "${TMPDIR:-/var/tmp}/filemend-pipeline-XXXXXX")"
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/make_tree" "$here/make_tree.c"
mkdir "$work/tree"
echo "cli_pipeline_bench: writing $files files under $work/tree" >&2
"$work/make_tree" "$work/tree" "$files" >/dev/null
sync

now() { date +%s%N; }
took() { # threads: wall time of one verified scan in nanoseconds
    local start
    start=$(now)
    "$scan" --quiet --verify --no-reset --threads "$1" "$work/tree" >/dev/null
    echo $(( $(now) - start ))
}
can_drop() { [ -w /proc/sys/vm/drop_caches ]; }
drop() { sync; echo 3 >/proc/sys/vm/drop_caches; }

# The outputs must agree before their speed means anything.
"$scan" --quiet --verify --no-reset --threads 1 "$work/tree" >"$work/one"
for t in "${settings[@]}"; do
    "$scan" --quiet --verify --no-reset --threads "$t" "$work/tree" | cmp -s - "$work/one" \
        || { echo "cli_pipeline_bench: output with --threads $t differs" >&2; exit 1; }
done
echo "cli_pipeline_bench: $(wc -l <"$work/one") rows, identical for every setting" >&2

measure() { # mode threads...: best time per setting, interleaved so that load hits all alike
    local mode=$1; shift
    local -A best=()
    local n=$runs
    [ "$mode" = cold ] && n=$cold_runs
    for _ in $(seq "$n"); do
        for t in "$@"; do
            [ "$mode" = cold ] && drop
            local ns
            ns=$(took "$t")
            if [ -z "${best[$t]:-}" ] || [ "$ns" -lt "${best[$t]}" ]; then best[$t]=$ns; fi
        done
    done
    for t in "$@"; do
        awk -v m="$mode" -v t="$t" -v s="${best[$t]}" -v b="${best[1]}" -v n="$files" 'BEGIN {
            printf "%-5s threads %-2s %8.3f s %10.0f files/s  ratio %.2f\n", m, t, s / 1e9, n / (s / 1e9), b / s
        }'
    done
}

measure warm 1 "${settings[@]}"
if can_drop; then
    measure cold 1 "${settings[@]}"
else
    echo "cold: skipped (dropping the page cache needs root)"
fi
