#!/usr/bin/env bash
# scale_picture's instructions per window pixel, counted by callgrind, whose
# counts do not vary with the load of a shared machine.
#   bench/scale_picture_counts.sh [BUILD_FOLDER]   (default: build-bench)
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$work/counts" \
  "$build/bench/scale_picture_bench" --count "$work/counts" 2> "$work/log" ||
  { status=$?; [ "$status" = 1 ] || cat "$work/log" >&2; exit "$status"; }
