#!/usr/bin/env bash
# Builds the installer stub from two fresh clones of the same commit, in
# folders of different names and lengths and at different times, and compares
# the two executables byte for byte. Takes two stub builds (minutes), so it is
# run by hand rather than in every test run:
#   bash tools/check-stub-reproducible.sh [COMMIT]     (default: HEAD)
# Needs the bootstrap's mingw liblzma (PALISADE_CACHE_DIR, default build/cache).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
commit=${1:-HEAD}
cache=$(cd "${PALISADE_CACHE_DIR:-$here/build/cache}" && pwd)
jobs=${JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_in() {
  local tree=$1
  git clone --quiet --no-checkout "$here" "$tree"
  git -C "$tree" checkout --quiet "$(git -C "$here" rev-parse "$commit")"
  cmake -S "$tree" -B "$tree/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/i686-w64-mingw32.cmake" -DPALISADE_CACHE_DIR="$cache" >/dev/null
  cmake --build "$tree/build/windows" -j "$jobs" --target palisade-setup >/dev/null
}

build_in "$work/a/palisade"
sleep 2   # a later second, for anything that would record the time
build_in "$work/a-much-longer-folder-name/second/palisade"
one=$work/a/palisade/build/windows/palisade-setup.exe
two=$work/a-much-longer-folder-name/second/palisade/build/windows/palisade-setup.exe
echo "commit $(git -C "$here" rev-parse --short "$commit")"
sha256sum "$one" "$two" | sed "s#$work/##"
if cmp "$one" "$two"; then
  echo "reproducible: both builds give the same $(stat -c %s "$one") bytes"
else
  echo "NOT reproducible"
  exit 1
fi
