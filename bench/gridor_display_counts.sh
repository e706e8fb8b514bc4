#!/usr/bin/env bash
# GRIDOR's inspection screen in instruction counts, under callgrind.
#   bench/gridor_display_counts.sh [BUILD_FOLDER]   (default: build-bench)
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$work/counts" \
  "$build/bench/gridor_display_bench" --count "$work/counts" 2> "$work/log" ||
  { cat "$work/log" >&2; exit 1; }
