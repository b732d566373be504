#!/usr/bin/env bash
# Builds mapdeck and runs every test. Extra arguments go to cmake's configure
# step (scripts/configure.sh, as demo.sh configures the folder).
# MAPDECK_BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${MAPDECK_BUILD_DIR:-build}
jobs=$(nproc)
bash scripts/configure.sh "$@"
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
