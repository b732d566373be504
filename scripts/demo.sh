#!/usr/bin/env bash
# Builds mapdeck and runs the demo host, which renders a sample layout page
# into demo-output/ (MAPDECK_DEMO_OUTPUT, or --output, picks another folder)
# and names the files it wrote. Arguments go to the demo program (see:
# scripts/demo.sh --help). The build folder is configured as test.sh
# configures it (scripts/configure.sh), so the two share one build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${MAPDECK_BUILD_DIR:-build}
bash scripts/configure.sh
cmake --build "$build" -j"$(nproc)" --target mapdeck-demo
"$build/tools/demo/mapdeck-demo" --output "${MAPDECK_DEMO_OUTPUT:-demo-output}" "$@"
