#!/usr/bin/env bash
# Compares our installers with makensis's on the same files, under Wine.
#   bash bench/compare.sh [small] [mixed] [large]     (default: all three)
# Corpora, taken from Wine's own i386 DLLs (/usr/lib/i386-linux-gnu/wine/
# i386-windows) in name order:
#   small  the DLLs up to 21.8 MB (47 files)
#   large  the DLLs up to 214.3 MB (262 files)
#   mixed  the DLLs up to 20 MiB (46 files) and the mingw-w64 headers
#          (/usr/share/mingw-w64/include, with its sub-folders)
# For each corpus it builds our installer (default settings) and a makensis
# one (solid lzma, the files, an uninstaller, the uninstall key) and times
# both builds; then, alternating the two, installs each BENCH_RUNS times
# (default 5) silently into a fresh folder, checks every installed file's
# SHA-256 against its source, and uninstalls it silently. It prints the
# installer sizes, the build times, the median silent installation times and
# the largest resident size of the installing process (GNU time's %M), each
# with our figure divided by makensis's, and the machine's load before and
# after. Needs `make native windows` first; installs nsis and time from
# Debian when missing (as root, or with sudo that asks no password).
# Run it on an idle machine: it is a measurement, not a test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/common.sh
. "$here/bench/common.sh"
headers=/usr/share/mingw-w64/include
runs=${BENCH_RUNS:-5}
corpora=("$@")
[ ${#corpora[@]} -eq 0 ] && corpora=(small mixed large)

work=$build/bench-compare

install_missing() {  # command package
  command -v "$1" >/dev/null && return
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo -n"; fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$2" </dev/null >/dev/null ||
    { echo "compare: $1 is missing and $2 could not be installed (apt-get install $2)" >&2; exit 1; }
}

now() { date +%s.%N; }
since() { echo "$(now) - $1" | bc -l; }

make_corpus() {  # name folder
  rm -rf "$2" && mkdir -p "$2"
  case $1 in
    small) bench_copy_dlls "$2" 21850000 >/dev/null ;;
    large) bench_copy_dlls "$2" 214300000 >/dev/null ;;
    mixed) bench_copy_dlls "$2" $((20 * 1024 * 1024)) >/dev/null && cp -r "$headers" "$2/include" ;;
    *) echo "compare: unknown corpus $1 (small, mixed, large)" >&2; exit 2 ;;
  esac
}

write_nsis_script() {  # tree name
  cat > "$1/setup.nsi" <<NSI
Unicode true
SetCompressor /SOLID lzma
Name "Nsis$2"
OutFile "nsis-setup.exe"
InstallDir "C:\\Compare\\nsis-$2"
RequestExecutionLevel admin
Section
  SetOutPath "\$INSTDIR"
  File /r "files\\*.*"
  WriteUninstaller "\$INSTDIR\\uninstall.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nsis$2" "DisplayName" "Nsis$2"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nsis$2" "UninstallString" '"\$INSTDIR\\uninstall.exe"'
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR"
  DeleteRegKey HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nsis$2"
SectionEnd
NSI
}

# Installs $2 silently ($3: its arguments) into $4, checks the files against
# $1/sums, uninstalls with the program $5 and its arguments $6 (some
# uninstallers go on in the background: waits for the folder to go).
# Prints "seconds peak_KiB".
install_once() {
  local tree=$1 setup=$2 arguments=$3 target=$4 uninstaller=$5 uninstall_arguments=$6 start seconds
  rm -rf "$target"
  wineserver -w
  start=$(now)
  # shellcheck disable=SC2086  # the arguments are words
  /usr/bin/time -f '%M' -o "$work/rss" wine "$setup" $arguments >/dev/null 2>&1 || true
  seconds=$(since "$start")
  (cd "$target" && sha256sum --quiet -c "$tree/sums") ||
    { echo "compare: $setup installed files that differ from their sources" >&2; exit 1; }
  # shellcheck disable=SC2086
  wine "$uninstaller" $uninstall_arguments >/dev/null 2>&1 || true
  for _ in $(seq 240); do [ -e "$target" ] || break; sleep 0.5; done
  [ ! -e "$target" ] || { echo "compare: uninstalling $setup left $target" >&2; exit 1; }
  echo "$seconds $(tail -1 "$work/rss")"
}

ratio() { echo "scale=2; $1 / $2" | bc -l | sed 's/^\./0./'; }

install_missing makensis nsis
[ -x /usr/bin/time ] || install_missing /usr/bin/time time
bench_wine_environment "$work/wineprefix"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg); $runs run(s) each, alternating"
rows=()
for name in "${corpora[@]}"; do
  tree=$work/$name
  make_corpus "$name" "$tree/files"
  (cd "$tree/files" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum > "$tree/sums")
  bench_write_project "$tree" "Compare$name" "Compare" "ours-$name"
  write_nsis_script "$tree" "$name"

  start=$(now)
  "$palisade" build "$tree/palisade.toml" -o "$tree/ours-setup.exe" --stub "$stub" -q
  ours_build=$(since "$start")
  start=$(now)
  (cd "$tree" && makensis -V1 setup.nsi)
  nsis_build=$(since "$start")

  ours_times=() nsis_times=() ours_peak=0 nsis_peak=0
  ours_target=$WINEPREFIX/drive_c/Compare/ours-$name
  nsis_target=$WINEPREFIX/drive_c/Compare/nsis-$name
  for _ in $(seq "$runs"); do
    install_once "$tree" "$tree/nsis-setup.exe" "/S" "$nsis_target" "$nsis_target/uninstall.exe" "/S" > "$work/run"
    read -r seconds peak < "$work/run"
    nsis_times+=("$seconds")
    [ "$peak" -gt "$nsis_peak" ] && nsis_peak=$peak
    install_once "$tree" "$tree/ours-setup.exe" "/silent" "$ours_target" \
      "$ours_target/uninstall/uninstall.exe" "/a /silent /u:Compare$name" > "$work/run"
    read -r seconds peak < "$work/run"
    ours_times+=("$seconds")
    [ "$peak" -gt "$ours_peak" ] && ours_peak=$peak
  done
  ours_size=$(stat -c %s "$tree/ours-setup.exe")
  nsis_size=$(stat -c %s "$tree/nsis-setup.exe")
  ours_install=$(printf '%s\n' "${ours_times[@]}" | bench_median)
  nsis_install=$(printf '%s\n' "${nsis_times[@]}" | bench_median)
  rows+=("$(printf '| %s | %d files, %d B | %d B | %d B | %s | %.2f s | %.2f s | %s | %.3f s | %.3f s | %s | %d MiB | %d MiB | %s |' \
    "$name" "$(wc -l < "$tree/sums")" "$(find "$tree/files" -type f -printf '%s\n' | awk '{t += $1} END {print t}')" \
    "$nsis_size" "$ours_size" \
    "$(ratio "$ours_size" "$nsis_size")" "$nsis_build" "$ours_build" "$(ratio "$ours_build" "$nsis_build")" \
    "$nsis_install" "$ours_install" "$(ratio "$ours_install" "$nsis_install")" \
    $((nsis_peak / 1024)) $((ours_peak / 1024)) "$(ratio "$ours_peak" "$nsis_peak")")")
done
wineserver -k 2>/dev/null || true
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| corpus | files | makensis installer | ours | ratio | its build | ours | ratio | its silent install (median) | ours | ratio | its peak memory | ours | ratio |"
echo "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
printf '%s\n' "${rows[@]}"
