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
# shellcheck source=bench/common.sh
. "$here/bench/common.sh"
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(20 200)
runs=${BENCH_RUNS:-5}

work=$build/bench
bench_wine_environment "$work/wineprefix"

for size in "${sizes[@]}"; do
  tree=$work/tree-$size
  rm -rf "$tree" && mkdir -p "$tree/files"
  read -r count total < <(bench_copy_dlls "$tree/files" $((size * 1024 * 1024)))
  (cd "$tree/files" && sha256sum -- * > "$tree/sums")
  bench_write_project "$tree" "Bench$size" "Palisade Bench" "$size"
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
    "$(printf '%s\n' "${times[@]}" | bench_median)" "$runs" "$(printf '%.2f ' "${times[@]}")" "$peak" \
    "$(printf '%s\n' "${uninstall_times[@]}" | bench_median)" "$(printf '%.2f ' "${uninstall_times[@]}")"
done
wineserver -k 2>/dev/null || true
