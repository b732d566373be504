#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Idempotent: when every package is present it does nothing; otherwise it
# runs `apt-get update` once and installs what is missing.
#
# Another apt or dpkg may hold the package locks, as the system's own update
# jobs often do on a freshly booted machine: apt-get then fails at once. It is
# tried again each second for at most MAPDECK_APT_LOCK_WAIT seconds in all
# (default 600), saying what it waits for at the first failure and every 30 s
# after; past that the script fails as apt-get did (exit 100). apt-get runs,
# and its messages are read, in the C locale: a held lock is recognised by
# apt's own (untranslated) message whatever the user's language.
set -euo pipefail
export LC_ALL=C

PACKAGES=(
  build-essential cmake ninja-build ccache clang clang-format pkg-config
  libcairo2-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev
  fonts-noto-cjk fonts-liberation2
  libproj-dev proj-data
  nlohmann-json3-dev
  libpng-dev zlib1g-dev libdeflate-dev libjpeg62-turbo-dev libgif-dev libtiff-dev
  libgsf-1-dev libssl-dev
  libwmf-dev fonts-urw-base35 libemf2svg-dev librsvg2-dev
  libseccomp-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=()
[ "$(id -u)" -ne 0 ] && SUDO=(sudo)
deadline=$((SECONDS + ${MAPDECK_APT_LOCK_WAIT:-600}))

# apt-get with the arguments (through sudo, which keeps no environment of its
# own: the front end and the locale are set past it), tried again while a
# lock it needs is held and the deadline is not passed. Its messages go to
# standard error.
apt_get() {
  local errors status note=0 left
  errors=$(mktemp)
  while :; do
    status=0
    "${SUDO[@]}" env LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get -qq "$@" 2>"$errors" || status=$?
    if [ $status -eq 0 ] || ! grep -q 'Could not get lock' "$errors"; then
      break
    fi
    # Said at the first lock failure, whatever time is left, and every 30 s
    # after.
    if [ $SECONDS -ge $note ]; then
      left=$((deadline - SECONDS))
      echo "install-deps: waiting up to $((left > 0 ? left : 0)) s for another package manager:" \
        "$(grep -m1 -o 'Could not get lock.*' "$errors")" >&2
      note=$((SECONDS + 30))
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "install-deps: gave up waiting for the package locks after ${MAPDECK_APT_LOCK_WAIT:-600} s" >&2
      break
    fi
    sleep 1
  done
  cat "$errors" >&2
  rm -f "$errors"
  return $status
}

echo "install-deps: installing ${missing[*]}" >&2
apt_get update
apt_get install -y --no-install-recommends "${missing[@]}" >/dev/null
# New fonts become visible to fontconfig only after its cache is rebuilt.
command -v fc-cache >/dev/null && fc-cache -f >/dev/null 2>&1 || true
