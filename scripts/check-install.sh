#!/usr/bin/env bash
# Installs the built library from BUILD (default: build) into a scratch
# prefix, checks that libmapdeck.so* is all it puts into the library folder
# (the stand-in libraries go into its mapdeck/ folder), then builds the host
# program of tests/install against it twice, with find_package(mapdeck) and
# with pkg-config, and runs both.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
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

echo "== a host built with find_package(mapdeck)"
cmake -S tests/install -B "$scratch/cmake-host" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/cmake-host" >/dev/null
"$scratch/cmake-host/mapdeck_host"

echo "== a host built with pkg-config"
pc_dir=$(dirname "$(find "$scratch/prefix" -name mapdeck.pc)")
export PKG_CONFIG_PATH="$pc_dir"
# shellcheck disable=SC2046
c++ -o "$scratch/pc-host" tests/install/host.cpp $(pkg-config --cflags --libs mapdeck)
"$scratch/pc-host"
