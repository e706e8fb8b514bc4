#!/usr/bin/env bash
# Builds and runs every test: unit tests and end-to-end session scripts.
set -euo pipefail
cd "$(dirname "$0")"
./build.sh
cd build
ctest --output-on-failure -j"$(nproc)"
