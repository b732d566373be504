#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/fuzz_*.cpp) with clang and runs each
# for SECONDS seconds (default 20) on a copy of its seed corpus
# (tests/fuzz/corpus/<name>/), with its dictionary when it has one
# (tests/fuzz/dict/<name>.dict). Fails when a target crashes; the crashing
# input is left in build-fuzz/artifacts/ and belongs, once fixed, in
# tests/fuzz/regressions/<name>/ where the regular tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-20}
build=${MAPDECK_FUZZ_BUILD_DIR:-build-fuzz}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

mkdir -p "$build"
if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAPDECK_FUZZ=ON >"$build/configure.log" 2>&1; then
  cat "$build/configure.log"
  exit 1
fi

targets=()
for src in tests/fuzz/fuzz_*.cpp; do
  [ -e "$src" ] || continue
  targets+=("$(basename "$src" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets"
  exit 0
fi
# Only the fuzz targets and what they link are built.
cmake --build "$build" --target "${targets[@]}"

# Leaks are looked for after each input (-detect_leaks=1), where a leak comes
# with the input that made it. The sanitizer's own check at exit is off: its
# report names no input, so what it finds can be neither replayed nor kept.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}:leak_check_at_exit=0
# System libraries' process-long caches are not leaks of ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Caches the system libraries keep for the life of the process are not leaks.
mkdir -p "$build/artifacts"
# One target's run; its report goes to stdout, and a failure leaves a mark
# beside its log.
run_target() {
  local t=$1
  local name=${t#fuzz_}
  local work
  work=$(mktemp -d)
  if [ -d "tests/fuzz/corpus/$name" ]; then
    # -L: a seed may be a link to a file kept elsewhere in the tree.
    cp -RL "tests/fuzz/corpus/$name/." "$work/"
  fi
  # A target's dictionary (tests/fuzz/dict/<name>.dict) names the tokens of
  # its format, so that mutations reach the branches behind them.
  local dict=()
  if [ -f "tests/fuzz/dict/$name.dict" ]; then dict=(-dict="tests/fuzz/dict/$name.dict"); fi
  echo "== $t: ${seconds}s on $(ls "$work" | wc -l) seeds"
  # The power schedule keeps every feature seen fewer than the threshold's
  # times on its list of rare ones and looks each feature of every run up in
  # that list, one by one: with the default (255), a target whose runs reach
  # thousands of features keeps thousands on the list through a whole short
  # run and spends most of its time on the lookups. At 8 the list stays short.
  if ! "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -detect_leaks=1 "${dict[@]}" \
      -entropic_feature_frequency_threshold=8 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" "$work" 2>"$build/artifacts/$t.log"; then
    # The report from its first line (a leak's stacks come before the
    # summary), then the end of the log.
    grep -m1 -A150 -E '^==[0-9]+==|runtime error' "$build/artifacts/$t.log" || true
    echo "[…]"
    tail -n 20 "$build/artifacts/$t.log"
    echo "FAILED: $t crashed; input in $build/artifacts/ (copy it to tests/fuzz/regressions/$name/)"
    touch "$build/artifacts/$t.failed"
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/artifacts/$t.log" || true
  fi
  rm -rf "$work"
}

# The targets run side by side, one a processor: the stage takes the
# targets' time over the number of processors.
parallel=$(nproc)
for t in "${targets[@]}"; do rm -f "$build/artifacts/$t.failed" "$build/artifacts/$t.report"; done
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
  run_target "$t" >"$build/artifacts/$t.report" 2>&1 &
done
wait
status=0
for t in "${targets[@]}"; do
  cat "$build/artifacts/$t.report"
  if [ -e "$build/artifacts/$t.failed" ]; then status=1; fi
done
exit $status
