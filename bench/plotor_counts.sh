#!/usr/bin/env bash
# PLOTOR's benchmark in instruction counts: every case once under callgrind,
# whose counts do not vary with the load of a shared machine.
#   bench/plotor_counts.sh [BUILD_FOLDER [CASES]]   (default: build-bench, every case)
# CASES counts only the cases whose names hold it: "read" for the readers.
set -euo pipefail
build=${1:-build-bench}
only=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$work/counts" \
  "$build/bench/plotor_bench" --count "$work/counts" $only 2> "$work/log" ||
  { cat "$work/log" >&2; exit 1; }
