#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format makes of it
# with the repository's .clang-format. Fix with: clang-format -i <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format --dry-run -Werror
echo "check-format: every source is formatted"
