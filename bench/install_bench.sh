#!/usr/bin/env bash
# Times silent installations of Wine's own i386 DLLs under Wine.
#   bash bench/install_bench.sh [SIZE_MB ...]      (default: 20 200)
# For each size it takes the files of /usr/lib/i386-linux-gnu/wine/i386-windows
# in name order until SIZE_MB is reached, builds an installer with the builder
# (default settings: xz preset 6, chunks chosen from the payload), then installs it silently five
# times into a fresh folder of a prefix of its own, checks every installed
# file's SHA-256 against its source after each run, and prints the median
# wall time and the largest resident size seen for the emulated process.
# After each check the product is uninstalled with `/a /u:"name"`: the
# median wall time of the uninstaller is printed too, and the run fails
# when the installation folder is not gone afterwards.
# Needs `make native windows` first. Run it on an idle machine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$here/build}
palisade=$build/native/palisade
stub=$build/windows/palisade-setup.exe
source_dir=/usr/lib/i386-linux-gnu/wine/i386-windows
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(20 200)
runs=${BENCH_RUNS:-5}

work=$build/bench
export WINEPREFIX=$work/wineprefix
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
export WINEDEBUG=-all
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
mkdir -p "$work"
bash "$here/scripts/wine-prefix.sh" create "$WINEPREFIX" >/dev/null

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

for size in "${sizes[@]}"; do
  tree=$work/tree-$size
  rm -rf "$tree" && mkdir -p "$tree/files"
  limit=$((size * 1024 * 1024))
  total=0
  count=0
  while IFS= read -r file; do
    bytes=$(stat -c %s "$source_dir/$file")
    [ $((total + bytes)) -gt "$limit" ] && [ "$count" -gt 0 ] && break
    cp "$source_dir/$file" "$tree/files/"
    total=$((total + bytes))
    count=$((count + 1))
  done < <(ls "$source_dir" | LC_ALL=C sort)
  (cd "$tree/files" && sha256sum -- * > "$tree/sums")

  cat > "$tree/palisade.toml" <<TOML
ProductName = "Bench$size"
ProductVersion = "1.0"
DefaultInstallPath = "C:\\\\Palisade Bench\\\\$size"
UninstallSubdir = "uninstall"
SettingsFlags1 = ["Uninstaller"]
PayloadFlags = ["StrippedInstaller"]

[[files]]
source = "files"
TOML
  build_start=$(date +%s.%N)
  "$palisade" build "$tree/palisade.toml" -o "$tree/setup.exe" --stub "$stub" -q
  build_seconds=$(echo "$(date +%s.%N) - $build_start" | bc -l)
  installer_bytes=$(stat -c %s "$tree/setup.exe")

  target=$WINEPREFIX/drive_c/Palisade\ Bench/$size
  times=()
  uninstall_times=()
  peak=0
  for run in $(seq "$runs"); do
    rm -rf "$target"
    wine reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench$size" /f /reg:32 \
      >/dev/null 2>&1 || true
    wineserver -w
    start=$(date +%s.%N)
    /usr/bin/time -f '%M' -o "$work/rss" wine "$tree/setup.exe" /silent >/dev/null 2>&1 || true
    times+=("$(echo "$(date +%s.%N) - $start" | bc -l)")
    rss=$(tail -1 "$work/rss")
    [ "$rss" -gt "$peak" ] && peak=$rss
    (cd "$target" && sha256sum --quiet -c "$tree/sums") || { echo "run $run: installed files differ" >&2; exit 1; }
    start=$(date +%s.%N)
    wine "$target/uninstall/uninstall.exe" /a "/u:Bench$size" >/dev/null 2>&1 || true
    uninstall_times+=("$(echo "$(date +%s.%N) - $start" | bc -l)")
    for _ in $(seq 120); do [ -e "$target" ] || break; sleep 0.5; done
    [ ! -e "$target" ] || { echo "run $run: the uninstallation left $(find "$target" | head -5)" >&2; exit 1; }
  done
  printf 'tree %4d MB: %d files, %d bytes; installer %d bytes (built in %.1f s); silent install median %.2f s of %d runs (%s); peak RSS %d KiB; uninstall median %.2f s (%s)\n' \
    "$size" "$count" "$total" "$installer_bytes" "$build_seconds" \
    "$(printf '%s\n' "${times[@]}" | median)" "$runs" "$(printf '%.2f ' "${times[@]}")" "$peak" \
    "$(printf '%s\n' "${uninstall_times[@]}" | median)" "$(printf '%.2f ' "${uninstall_times[@]}")"
done
wineserver -k 2>/dev/null || true
