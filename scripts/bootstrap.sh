#!/usr/bin/env bash
# Installs everything Palisade needs to build and test on Debian 12, then builds
# a static liblzma for i686-w64-mingw32 from Debian's xz-utils source package.
# Idempotent: every step is skipped when its result is already present.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${PALISADE_BUILD_DIR:-$here/build}
cache_dir=${PALISADE_CACHE_DIR:-$build_dir/cache}
sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi

packages=(
  g++-mingw-w64-i686 mingw-w64-tools
  wine wine32:i386 wine64 xvfb xauth x11-utils xdotool
  cmake ninja-build pkg-config g++ make
  liblzma-dev xz-utils
  libgtest-dev libgmock-dev libtomlplusplus-dev libutfcpp-dev
  clang-14 libclang-rt-14-dev
  binutils-mingw-w64-i686 openssl imagemagick
  dpkg-dev
  wixl libwine-dev python3-fonttools fonts-dejavu-core python3-jsonschema
  fonts-wine fonts-ipafont-gothic locales
  osslsigncode
)

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages)
  if [ -z "$missing" ] && [ -n "$(apt-cache showsrc xz-utils 2>/dev/null | head -n1)" ]; then
    echo "bootstrap: packages already installed"
    return
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo_cmd dpkg --add-architecture i386
  fi
  if ! grep -rqs "^Types:.*deb-src" /etc/apt/sources.list.d/ && ! grep -qs "^deb-src" /etc/apt/sources.list; then
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      | $sudo_cmd tee /etc/apt/sources.list.d/palisade-src.sources >/dev/null
  fi
  refresh_package_lists
  # shellcheck disable=SC2086
  if ! DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends $(missing_packages) </dev/null; then
    # A mirror caught mid-sync can leave one architecture's update list out;
    # the other architecture then asks for library versions the 32-bit side
    # cannot match (wine32 needs both at one version). The release's own
    # versions exist for both.
    echo "bootstrap: installing the release's own package versions instead"
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends -t bookworm $(missing_packages) </dev/null
  fi
}

# apt-get update fails as a whole when one list fails to download (a mirror
# in the middle of a sync); a second try often finds it whole, and when not,
# the lists that did arrive are still used.
refresh_package_lists() {
  local attempt
  for attempt in 1 2 3; do
    if $sudo_cmd apt-get update -q; then return; fi
    echo "bootstrap: apt-get update reported errors (attempt $attempt of 3)"
    [ "$attempt" -lt 3 ] && sleep 15
  done
  echo "bootstrap: going on with the package lists that did arrive"
}

build_mingw_liblzma() {
  # The stub only decodes, and only streams of our own builder (CRC-32 check):
  # leaving out the encoders, the other checks and threading saves about 90 KB
  # of every installer. -Os rather than -O2: the -O2 decoder added 17 KB and
  # installed the 214 MB benchmark tree slower under Wine on qemu (10.4 to
  # 14.0 s against 8.8 to 9.3 s, three alternating runs).
  local prefix=$cache_dir/liblzma-i686-decoder
  if [ -f "$prefix/lib/liblzma.a" ] && [ -f "$prefix/include/lzma.h" ]; then
    echo "bootstrap: mingw liblzma already built"
    return
  fi
  local work=$cache_dir/xz-src
  rm -rf "$work"; mkdir -p "$work"
  (cd "$work" && apt-get source --download-only xz-utils >/dev/null)
  local tarball
  tarball=$(ls "$work"/xz-utils_*.orig.tar.* | head -n1)
  tar -C "$work" -xf "$tarball"
  local src
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'xz-*' | head -n1)
  (cd "$src" && ./configure -q --host=i686-w64-mingw32 --prefix="$prefix" \
      --disable-shared --enable-static --disable-xz --disable-xzdec --disable-lzmadec \
      --disable-lzmainfo --disable-scripts --disable-doc --disable-nls \
      --disable-encoders --enable-checks=crc32 --disable-threads \
      CFLAGS="-Os -ffunction-sections -fdata-sections" \
    && make -s -j"$(nproc)" && make -s install) >"$cache_dir/liblzma-build.log" 2>&1 \
    || { cat "$cache_dir/liblzma-build.log"; exit 1; }
  rm -rf "$work"
  echo "bootstrap: mingw liblzma built into $prefix"
}

# The wizard tests run the installer in these languages: Wine takes the
# character set of file names from the host locale, so without it a Russian
# or Japanese file name (the uninstaller's shortcut) could not be written.
make_locales() {
  local name missing=""
  for name in en_US de_DE ru_RU ja_JP; do
    locale -a 2>/dev/null | grep -qx "$name.utf8" || missing="$missing $name"
  done
  for name in $missing; do $sudo_cmd localedef -i "$name" -f UTF-8 "$name.UTF-8"; done
}

install_packages
make_locales
mkdir -p "$cache_dir"
build_mingw_liblzma

# Wine runs 32-bit programs through a 32-bit loader; where the kernel cannot
# execute 32-bit code, it is run under qemu-i386 instead.
bash "$here/scripts/wine-on-qemu.sh" "$cache_dir"
