#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS on its
# seed corpus; fails when any of them finds a crash, a hang or a leak.
# Usage: fuzz/run.sh SECONDS [BUILD_DIR]
set -euo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS [BUILD_DIR]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-fuzz}
targets="part_a part_b results script export import"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DVORTAN_FUZZ=ON -DVORTAN_TESTS=OFF \
  -DVORTAN_WINDOW=OFF -DVORTAN_INTEROP=OFF >/dev/null
for t in $targets; do cmake --build "$build" -j2 --target "${t}_fuzz"; done

# Seeds: the example and test files each reader meets in use. The corpus
# folders keep what the fuzzer adds, so a later run starts further on.
seed() {
  local dir=$build/corpus/$1; shift
  mkdir -p "$dir"
  local k=0
  # Numbered, since the tests' files share names (session.script).
  for f in "$@"; do k=$((k + 1)); [ -f "$f" ] && cp "$f" "$dir/seed-$k"; done
  return 0
}
dats=("$root"/examples/*.dat "$root"/tests/e2e/*/expected/*.dat "$root"/tests/e2e/*/setup/*.dat)
seed part_a "${dats[@]}"
seed part_b "${dats[@]}"
seed results "$root"/examples/*.out
seed export "$root"/examples/*.out
seed import "$root"/fuzz/import_seeds/*.msh
seed script "$root"/examples/*.script "$root"/tests/files/*.script "$root"/tests/e2e/*/session.script

for t in $targets; do
  echo "== ${t}_fuzz for ${seconds}s"
  (cd "$build" && "./fuzz/${t}_fuzz" -seed=1 -rss_limit_mb=2048 -timeout=10 \
    -max_total_time="$seconds" -print_final_stats=0 "corpus/$t" 2>"fuzz-$t.log") || {
    tail -n 40 "$build/fuzz-$t.log"
    echo "${t}_fuzz found a fault: input and log in $build" >&2
    exit 1
  }
done
echo "fuzzing: no fault found"
