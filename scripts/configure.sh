#!/usr/bin/env bash
# Configures the build folder (MAPDECK_BUILD_DIR, default: build) the one way
# every script builds it: Ninja, warnings as errors (MAPDECK_WERROR, default
# ON, so that a warning never first shows up in CI). demo.sh and test.sh
# both configure through it, so that one after the other builds the library
# once. Extra arguments go to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B "${MAPDECK_BUILD_DIR:-build}" -G Ninja -DMAPDECK_WERROR="${MAPDECK_WERROR:-ON}" "$@" >/dev/null
