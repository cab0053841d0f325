# shellcheck shell=bash
# Pieces the benchmarks share: the builds they use, the Wine environment, the
# trees of Wine's DLLs, the project file, the median. Sourced by
# bench/install_bench.sh and bench/compare.sh, which set $here to the source tree.

build=${BUILD:-$here/build}
# shellcheck disable=SC2034  # used by the scripts that source this file
palisade=$build/native/palisade
# shellcheck disable=SC2034  # likewise
stub=$build/windows/palisade-setup.exe
bench_dlls=/usr/lib/i386-linux-gnu/wine/i386-windows

# A Wine prefix of its own at $1, and an environment that keeps Wine quiet.
bench_wine_environment() {
  export WINEPREFIX=$1
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
  export WINEDEBUG=-all
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
  mkdir -p "$(dirname "$WINEPREFIX")"
  bash "$here/scripts/wine-prefix.sh" create "$WINEPREFIX" >/dev/null
}

# Copies Wine's DLLs in name order into $1 while their total stays within $2
# bytes (at least one file); prints "count bytes".
bench_copy_dlls() {
  local target=$1 limit=$2 total=0 count=0 file bytes
  mkdir -p "$target"
  while IFS= read -r file; do
    bytes=$(stat -c %s "$bench_dlls/$file")
    [ $((total + bytes)) -gt "$limit" ] && [ "$count" -gt 0 ] && break
    cp "$bench_dlls/$file" "$target/"
    total=$((total + bytes))
    count=$((count + 1))
  done < <(find "$bench_dlls" -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort)
  echo "$count $total"
}

# $1/palisade.toml: product $2 with an uninstaller, installing the folder
# files/ beside it into C:\$3\$4.
bench_write_project() {
  cat > "$1/palisade.toml" <<TOML
ProductName = "$2"
ProductVersion = "1.0"
DefaultInstallPath = "C:\\\\$3\\\\$4"
UninstallSubdir = "uninstall"
SettingsFlags1 = ["Uninstaller"]
PayloadFlags = ["StrippedInstaller"]

[[files]]
source = "files"
TOML
}

bench_median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
