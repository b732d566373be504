#!/usr/bin/env bash
# Builds mapdeck and runs every test. Extra arguments go to cmake's configure
# step. MAPDECK_BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${MAPDECK_BUILD_DIR:-build}
jobs=$(nproc)
# Warnings are errors everywhere, so a warning never first shows up in CI.
werror=${MAPDECK_WERROR:-ON}
cmake -S . -B "$build" -G Ninja -DMAPDECK_WERROR=$werror "$@" >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
