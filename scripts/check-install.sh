#!/usr/bin/env bash
# Installs the built library from BUILD (default: build) into a scratch
# prefix and checks what a host gets:
#   - libmapdeck.so* is all it puts into the library folder (the stand-in
#     libraries go into its mapdeck/ folder);
#   - every function an installed header declares is exported by an installed
#     library (scripts/check-exports.py);
#   - no installed file names the source or build folder;
#   - the host program of tests/install, copied out of the tree, builds against
#     the prefix alone, with find_package(mapdeck) and with pkg-config, and
#     runs, while the source tree is out of reach (an empty folder is mounted
#     over it where the system lets a private mount namespace be made).
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=${1:-build}
build_dir=$(cd "$build" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
libdir=$(dirname "$(find "$scratch/prefix" -name libmapdeck.so)")
others=$(find "$libdir" -maxdepth 1 ! -type d ! -name 'libmapdeck.so*' -printf '%f\n')
if [ -n "$others" ]; then
  echo "check-install: more than libmapdeck.so* in $(basename "$libdir")/:" >&2
  echo "$others" >&2
  exit 1
fi
echo "check-install: $(basename "$libdir")/ holds $(find "$libdir" -maxdepth 1 ! -type d -printf '%f ')"
soname=$(objdump -p "$libdir"/libmapdeck.so | awk '/SONAME/ {print $2}')
echo "check-install: libmapdeck.so has the soname $soname"
[[ "$soname" =~ ^libmapdeck\.so\.[0-9]+$ ]]

python3 scripts/check-exports.py "$scratch/prefix"

leaks=$(grep -rlF -e "$source_dir" -e "$build_dir" "$scratch/prefix" || true)
if [ -n "$leaks" ]; then
  echo "check-install: installed files name the source or build folder:" >&2
  echo "$leaks" >&2
  exit 1
fi
echo "check-install: no installed file names $source_dir or $build_dir"

# The host, out of the tree.
cp -r tests/install "$scratch/host"
# The README's example: the C++ block of its "Use it from a host" section.
awk '/^## Use it from a host/ {s = 1} s && /^```cpp/ {c = 1; next} c && /^```/ {exit} c' README.md \
  >"$scratch/host/example.cpp"
[ -s "$scratch/host/example.cpp" ] || { echo "check-install: no example in README.md" >&2; exit 1; }
mkdir -p "$scratch/example-run"
cat >"$scratch/build-host.sh" <<SCRIPT
set -euo pipefail
cd "$scratch"
echo "== a host built with find_package(mapdeck)"
cmake -S host -B cmake-host -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build cmake-host >build.log || { cat build.log; exit 1; }
(cd "$scratch" && cmake-host/mapdeck_host "$scratch/out-cmake")
echo "== the README's example"
(cd "$scratch/example-run" && "$scratch/cmake-host/mapdeck_example" && ls page.png page.pdf page.mdfs again.png >/dev/null)
cmp "$scratch/example-run/page.png" "$scratch/example-run/again.png"
echo "the example's page prints the same after saving and loading"
echo "== a host built with pkg-config"
export PKG_CONFIG_PATH="\$(dirname "\$(find "$scratch/prefix" -name mapdeck.pc)")"
c++ -o pc-host host/host.cpp -DMAPDECK_MAPS_DIR="\"\$(pkg-config --variable=mapsdir mapdeck)\"" \
  \$(pkg-config --cflags --libs mapdeck cairo)
(cd "$scratch" && ./pc-host "$scratch/out-pc")
SCRIPT
if unshare -m true 2>/dev/null; then
  echo "check-install: the source tree is hidden while the host builds and runs"
  unshare -m bash -c "mount -t tmpfs -o size=1m none '$source_dir' && bash '$scratch/build-host.sh'"
else
  echo "check-install: no private mount namespace here; the host builds from its copy only"
  bash "$scratch/build-host.sh"
fi
