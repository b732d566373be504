#!/usr/bin/env bash
# Builds the libraries and the test programs that hold thread tests (a test
# whose suite or name says "Thread": the target thread_tests) with
# ThreadSanitizer, and runs those tests; a report fails its test. Extra
# arguments go to ctest. MAPDECK_TSAN_BUILD_DIR picks the build folder
# (default: build-tsan).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MAPDECK_TSAN_BUILD_DIR:-build-tsan}
jobs=$(nproc)
cmake -S . -B "$build" -G Ninja -DMAPDECK_WERROR="${MAPDECK_WERROR:-ON}" -DMAPDECK_TSAN=ON \
  -DMAPDECK_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target thread_tests

# Races inside uninstrumented system libraries are suppressed (see the file).
export TSAN_OPTIONS="suppressions=$PWD/scripts/tsan.supp:second_deadlock_stack=1${TSAN_OPTIONS:+:$TSAN_OPTIONS}"

# This sanitizer cannot run where the kernel places mappings at more random
# addresses than its memory layout allows ("FATAL: ThreadSanitizer:
# unexpected memory mapping", vm.mmap_rnd_bits above 28): the tests then run
# without address randomisation, or, where that is not permitted, with the
# kernel's randomisation lowered for the run (as root).
run=()
restore=
probe="$build/tests/tools/pagethreads/page_thread_tests"
if ! "$probe" --gtest_list_tests >/dev/null 2>"$build/tsan-probe.log"; then
  if ! grep -q "unexpected memory mapping" "$build/tsan-probe.log"; then
    cat "$build/tsan-probe.log" >&2
    exit 1
  fi
  if setarch "$(uname -m)" -R true 2>/dev/null; then
    echo "ThreadSanitizer: running without address randomisation (setarch -R)"
    run=(setarch "$(uname -m)" -R)
  elif [ "$(id -u)" = 0 ] && [ -w /proc/sys/vm/mmap_rnd_bits ]; then
    restore=$(cat /proc/sys/vm/mmap_rnd_bits)
    echo "ThreadSanitizer: vm.mmap_rnd_bits $restore -> 28 for the run"
    echo 28 >/proc/sys/vm/mmap_rnd_bits
    trap 'echo "$restore" >/proc/sys/vm/mmap_rnd_bits' EXIT
  else
    echo "ThreadSanitizer cannot run here: lower vm.mmap_rnd_bits to 28 or allow setarch -R" >&2
    exit 1
  fi
fi
"${run[@]}" ctest --test-dir "$build" -R Thread --output-on-failure -j"$jobs" "$@"
