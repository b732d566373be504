#!/usr/bin/env bash
# The set-up scripts a reader runs one after the other configure the build
# folder the same way, so that the second builds nothing the first built:
# copies of scripts/ run in a scratch tree, with cmake, ctest and the
# package installer standing in, each row a sequence of scripts (and the
# environment they run in) whose configure lines must all be the same.
# Usage: test_setup_scripts.sh <source tree>
set -euo pipefail
tree=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tree/scripts" "$scratch/bin"
cp "$tree"/scripts/*.sh "$scratch/tree/scripts/"
printf '#!/usr/bin/env bash\n' >"$scratch/tree/scripts/install-deps.sh"
# cmake writes each configure line to the log; a build, like ctest, does nothing.
cat >"$scratch/bin/cmake" <<'STUB'
#!/usr/bin/env bash
if [ "$1" = "-S" ]; then echo "$*" >>"$SETUP_LOG"; fi
STUB
printf '#!/usr/bin/env bash\n' >"$scratch/bin/ctest"
chmod +x "$scratch/bin/cmake" "$scratch/bin/ctest"

# Rows: the scripts run in order, '|', the environment they run in.
rows=(
  'demo.sh test.sh|'
  'test.sh demo.sh|'
  'demo.sh test.sh|MAPDECK_BUILD_DIR=other'
  'demo.sh test.sh|MAPDECK_WERROR=OFF'
)
failed=0
for row in "${rows[@]}"; do
  scripts=${row%%|*} environment=${row#*|}
  log="$scratch/log" && : >"$log"
  build="$scratch/tree/${environment#MAPDECK_BUILD_DIR=}"
  [[ "$environment" == MAPDECK_BUILD_DIR=* ]] || build="$scratch/tree/build"
  mkdir -p "$build/tools/demo"
  printf '#!/usr/bin/env bash\n' >"$build/tools/demo/mapdeck-demo"
  chmod +x "$build/tools/demo/mapdeck-demo"
  for script in $scripts; do
    # Only the row's own settings: none of the run's (a CI stage's build folder).
    env -u MAPDECK_BUILD_DIR -u MAPDECK_WERROR -u MAPDECK_DEMO_OUTPUT PATH="$scratch/bin:$PATH" \
      SETUP_LOG="$log" $environment bash "$scratch/tree/scripts/$script" >/dev/null
  done
  lines=$(sort -u "$log" | wc -l)
  if [ "$(wc -l <"$log")" -ne 2 ] || [ "$lines" -ne 1 ]; then
    echo "FAIL: $scripts ($environment) configure differently:" >&2
    cat "$log" >&2
    failed=1
  else
    echo "ok: $scripts ($environment): $(cat "$log" | head -1)"
  fi
done
exit $failed
