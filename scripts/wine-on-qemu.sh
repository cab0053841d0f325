#!/usr/bin/env bash
# Makes 32-bit Wine usable on an x86_64 kernel that cannot run i386 ELF
# binaries (ia32 emulation disabled), using only Debian packages.
#
#   scripts/wine-on-qemu.sh [CACHE_DIR]      (default: <repo>/build/cache)
#
# (a) If /usr/lib/wine/wine runs natively, nothing is done.
# (b) Otherwise qemu-user-static is installed, binfmt_misc is mounted and
#     i386 ELF binaries are registered to run through qemu-i386-static.
# (c) Speed fix: Debian ships no wine-preloader, so every 32-bit Wine start
#     falls back to ntdll's reserve_area() loop, ~130,000 mmap calls that take
#     ~50 s under qemu. We build the i386 preloader from Debian's own wine
#     source (loader/preloader.c) and install it as /usr/lib/wine/wine-preloader;
#     a start then takes well under two seconds.
#
# Idempotent: each step is skipped when its result is already in place.
# No environment variables are needed by later wine invocations.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache_dir=${1:-$here/build/cache}
wine32=/usr/lib/wine/wine
preloader=/usr/lib/wine/wine-preloader
binfmt_dir=/proc/sys/fs/binfmt_misc
binfmt_entry=$binfmt_dir/qemu-i386
qemu=/usr/bin/qemu-i386-static
# i386 ELF executables and shared objects (ET_EXEC/ET_DYN, EM_386); the same
# magic/mask as qemu's own scripts/qemu-binfmt-conf.sh. Flag F: the kernel
# opens the interpreter now, so it also works inside chroots/containers.
binfmt_rule=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'$qemu':F'

log() { echo "wine-on-qemu: $*"; }
die() { echo "wine-on-qemu: error: $*" >&2; exit 1; }

apt_install() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null; then
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
  fi
}

binfmt_enabled() { [ -f "$binfmt_entry" ] && head -n1 "$binfmt_entry" | grep -qx enabled; }

wine32_runs() { "$wine32" --version >/dev/null 2>&1; }

# ---- (a) native i386 support? -------------------------------------------------
[ -x "$wine32" ] || die "$wine32 is missing; install wine32:i386 first"
# With our binfmt entry active every i386 binary goes through qemu, so running
# the loader then says nothing about native support; only test without it.
if ! binfmt_enabled && wine32_runs; then
  log "$wine32 runs natively; nothing to do"
  exit 0
fi

# ---- (b) qemu-user-static + binfmt_misc ----------------------------------------
apt_install qemu-user-static
[ -x "$qemu" ] || die "$qemu not found after installing qemu-user-static"
if [ ! -e "$binfmt_dir/register" ]; then
  log "mounting binfmt_misc"
  mount -t binfmt_misc binfmt_misc "$binfmt_dir"
fi
if [ ! -e "$binfmt_entry" ]; then
  log "registering $qemu for i386 ELF binaries"
  printf '%s\n' "$binfmt_rule" >"$binfmt_dir/register"
elif ! binfmt_enabled; then
  log "re-enabling the qemu-i386 binfmt entry"
  echo 1 >"$binfmt_entry"
fi
grep -qx "interpreter $qemu" "$binfmt_entry" \
  || die "$binfmt_entry uses another interpreter: $(grep interpreter "$binfmt_entry")"
wine32_runs || die "$wine32 --version still fails under qemu"

# ---- (c) speed fix: the i386 wine-preloader -----------------------------------
wine_version=$(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null || true)
[ -n "$wine_version" ] || die "cannot read the installed wine32:i386 version"
build_dir=$cache_dir/wine-preloader-${wine_version//[^A-Za-z0-9.+-]/_}
built=$build_dir/wine-preloader

if [ -e "$preloader" ] && dpkg -S "$preloader" >/dev/null 2>&1; then
  log "$preloader belongs to a Debian package; leaving it alone"
  exit 0
fi

# Smoke test of a preloader binary: it must map the real loader and ld.so and
# hand control over, so "wine-preloader wine --version" prints the version.
# The loader finds ntdll.so next to /proc/self/exe, i.e. next to the
# preloader, so the candidate is tried from a temporary name in /usr/lib/wine.
preloader_works() {
  local trial=$preloader.try.$$ out rc=0
  install -m 755 "$1" "$trial"
  out=$(timeout 120 "$trial" "$wine32" --version 2>&1) || rc=$?
  rm -f "$trial"
  [ "$rc" -eq 0 ] && case $out in wine-*) true ;; *) false ;; esac
}

build_preloader() {
  apt_install gcc-multilib dpkg-dev xz-utils
  local work=$build_dir/src
  rm -rf "$work"; mkdir -p "$work"
  log "fetching the source of wine $wine_version"
  if ! (cd "$work" && apt-get source --download-only "wine=$wine_version" >"$build_dir/fetch.log" 2>&1); then
    log "source of wine $wine_version not available, using the newest wine source"
    (cd "$work" && apt-get source --download-only wine >>"$build_dir/fetch.log" 2>&1) \
      || { cat "$build_dir/fetch.log"; die "apt-get source wine failed"; }
  fi
  local orig
  orig=$(compgen -G "$work/wine_*.orig.tar.*" | head -n1) || true
  [ -n "$orig" ] || die "no wine orig tarball in $work"
  tar -C "$work" -xf "$orig" --strip-components=1 --wildcards \
    '*/loader/preloader.c' '*/loader/main.h' '*/include/wine/asm.h'
  # preloader.c only asks config.h for these three headers.
  printf '#define HAVE_SYS_SYSCALL_H 1\n#define HAVE_ELF_H 1\n#define HAVE_LINK_H 1\n' >"$work/config.h"
  # Compile flags as Wine's build uses for loader/ (EXTRACFLAGS + -fno-builtin).
  # Link: Wine's "-static -nostartfiles -nodefaultlibs -Wl,-Ttext=0x7d400000",
  # but with -Ttext-segment: binutils' separate-code layout otherwise leaves the
  # ELF headers in a segment at 0x08048000, and qemu then keeps the whole span
  # 0x08048000-0x7d400000 reserved as one image, so Windows programs run out of
  # address space after ~120 MB of allocations.
  log "building the i386 wine-preloader"
  (cd "$work" \
    && gcc -m32 -O2 -fno-builtin -fno-stack-protector -fno-strict-aliasing \
         -fcf-protection=none -fno-PIC -fno-pie -I. -Iinclude -Iloader \
         -c -o preloader.o loader/preloader.c \
    && gcc -m32 -static -nostartfiles -nodefaultlibs -no-pie \
         -Wl,-Ttext-segment=0x7d400000 -o wine-preloader preloader.o) \
    >"$build_dir/build.log" 2>&1 || { cat "$build_dir/build.log"; die "preloader build failed"; }
  local first_load
  first_load=$(readelf -lW "$work/wine-preloader" | awk '$1 == "LOAD" { print $3; exit }')
  [ "$first_load" = "0x7d400000" ] || die "preloader's first segment is at $first_load, not 0x7d400000"
  preloader_works "$work/wine-preloader" || die "the built preloader cannot start $wine32"
  mv -f "$work/wine-preloader" "$built"
  rm -rf "$work"
}

if [ -e "$preloader" ] && [ -f "$built" ] && cmp -s "$built" "$preloader"; then
  log "wine-preloader for wine $wine_version already installed"
  exit 0
fi
mkdir -p "$build_dir"
if [ -f "$built" ] && preloader_works "$built"; then
  log "using cached $built"
else
  rm -f "$built"
  build_preloader
fi
# Atomic replace: concurrent wine starts see either no preloader or a whole one.
install -m 755 "$built" "$preloader.tmp.$$"
mv -f "$preloader.tmp.$$" "$preloader"
log "installed $preloader (built from wine $wine_version)"
