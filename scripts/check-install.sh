#!/usr/bin/env bash
# Installs the built library from BUILD (default: build) into a scratch
# prefix and checks what a host gets:
#   - libmapdeck.so* is all it puts into the library folder (the stand-in
#     libraries go into its mapdeck/ folder);
#   - every function an installed header declares is exported by an installed
#     library (scripts/check-exports.py);
#   - every project file an installed header names (another header, a
#     stored-format document, the component list...) is installed
#     (scripts/check-named-paths.py);
#   - no installed file names the source or build folder;
#   - the host programs of tests/install, copied out of the tree, build
#     against the prefix alone and run while the source tree is out of reach
#     (an empty folder is mounted over it where the system lets a private
#     mount namespace be made): the host with find_package(mapdeck), which
#     also finds its log records where the README says; the reader, linked
#     with --as-needed, without needing libmapdeck; and the README's example,
#     taken with its CMake lines and its pkg-config lines from the README's own
#     text, built both ways as printed, the prefix the README installs into
#     (/opt/mapdeck) standing for the scratch one: the pkg-config lines find
#     the library without help, and CMake with the README's CMAKE_PREFIX_PATH;
#   - the README's host section names what a host needs besides (the
#     packages' script, the page's layer, the log's place and reading).
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

python3 scripts/check-named-paths.py "$scratch/prefix"

# The hosts, out of the tree.
cp -r tests/install "$scratch/host"
# The README's example: the first block of each language in its "Use it from
# a host" section, as printed.
readme_block() {
  awk -v fence="\`\`\`$1" '/^## / {s = ($0 == "## Use it from a host")} s && $0 == fence {c = 1; next}
    c && /^```/ {exit} c' README.md
}
mkdir -p "$scratch/readme" "$scratch/example-cmake" "$scratch/example-pc"
readme_block cmake >"$scratch/readme/CMakeLists.txt"
readme_block cpp >"$scratch/readme/host.cpp"
readme_block sh >"$scratch/readme/build.sh"
for f in CMakeLists.txt host.cpp build.sh; do
  [ -s "$scratch/readme/$f" ] || { echo "check-install: README.md gives no $f for a host" >&2; exit 1; }
done
# The README's prefix, which its lines name, stands for the scratch one.
readme_prefix=/opt/mapdeck
grep -qE "^ +cmake --install [^ ]+ --prefix $readme_prefix\$" README.md ||
  { echo "check-install: README.md installs into no $readme_prefix" >&2; exit 1; }
grep -qF "CMAKE_PREFIX_PATH=$readme_prefix" README.md ||
  { echo "check-install: README.md points CMake at no $readme_prefix" >&2; exit 1; }
grep -qF "$readme_prefix" "$scratch/readme/build.sh" ||
  { echo "check-install: README.md's pkg-config lines name no $readme_prefix" >&2; exit 1; }
sed -i "s|$readme_prefix|$scratch/prefix|g" "$scratch/readme/build.sh"
# What the section tells a host besides: the script that installs the
# packages to build with, the layer a page needs, where the log records go
# (which the host of tests/install checks) and how they are read.
section=$(awk '/^## / {s = ($0 == "## Use it from a host")} s' README.md)
for named in scripts/install-deps.sh SetMapLayer mapdeck.log GIS_GetTempDir TMPDIR GetRecordCount GetRecordsSince GetThreadRecordsSince; do
  grep -qF "$named" <<<"$section" || { echo "check-install: README.md's host section names no $named" >&2; exit 1; }
done
[ -x scripts/install-deps.sh ]
echo "check-install: the README's host section names the packages' script, the page's layer and the log"
cat >"$scratch/build-host.sh" <<SCRIPT
set -euo pipefail
cd "$scratch"
export PKG_CONFIG_PATH="\$(dirname "\$(find "$scratch/prefix" -name mapdeck.pc)")"
echo "== the hosts built with find_package(mapdeck)"
cmake -S host -B cmake-host -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build cmake-host >build.log || { cat build.log; exit 1; }
# Its records go to a folder of its own, which it checks.
mkdir -p "$scratch/tmp"
(cd "$scratch" && TMPDIR="$scratch/tmp" cmake-host/mapdeck_host "$scratch/out-cmake")
echo "== a reader linked with --as-needed, which does not need libmapdeck"
if objdump -p cmake-host/mapdeck_reader | grep -q 'NEEDED.*libmapdeck'; then
  echo "check-install: the reader needs libmapdeck: nothing is checked" >&2
  exit 1
fi
cmake-host/mapdeck_reader out-cmake/page.mdfs GIS_TYPE_GRAPHIC_ELEMENT_TEXT GIS_TYPE_GRAPHIC_ELEMENT_MAP \
  GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING
echo "== the README's example built with its CMake lines"
cmake -S readme -B readme-cmake -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build readme-cmake >build.log || { cat build.log; exit 1; }
(cd example-cmake && ../readme-cmake/host && ls page.png page.pdf page.mdfs again.png >/dev/null)
cmp example-cmake/page.png example-cmake/again.png
echo "the example's page prints the same after saving and loading"
echo "== the README's example built with its pkg-config lines, pkg-config told nothing else"
(cd readme && env -u PKG_CONFIG_PATH -u PKG_CONFIG_LIBDIR bash -e build.sh)
(cd example-pc && ../readme/host)
cmp example-cmake/page.png example-pc/page.png
echo "both builds of the example print the same page"
SCRIPT
if unshare -m true 2>/dev/null; then
  echo "check-install: the source tree is hidden while the host builds and runs"
  unshare -m bash -c "mount -t tmpfs -o size=1m none '$source_dir' && bash '$scratch/build-host.sh'"
else
  echo "check-install: no private mount namespace here; the host builds from its copy only"
  bash "$scratch/build-host.sh"
fi
