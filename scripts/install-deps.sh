#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Idempotent: when every package is present it does nothing; otherwise it
# runs `apt-get update` once and installs what is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache clang clang-format pkg-config
  libcairo2-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev
  fonts-noto-cjk fonts-liberation2
  libproj-dev proj-data
  nlohmann-json3-dev
  libpng-dev zlib1g-dev libdeflate-dev libjpeg62-turbo-dev libgif-dev libtiff-dev
  libgsf-1-dev
  libwmf-dev fonts-urw-base35 libemf2svg-dev librsvg2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "install-deps: installing ${missing[*]}" >&2
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# New fonts become visible to fontconfig only after its cache is rebuilt.
command -v fc-cache >/dev/null && fc-cache -f >/dev/null 2>&1 || true
