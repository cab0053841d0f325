#!/usr/bin/env bash
# Builds the example twice with SOURCE_DATE_EPOCH set, from two copies of it in
# different folders whose files carry different (later) times, and requires
# the same bytes; the item times must be the epoch. A third build without the
# epoch must differ (a random cipher key), so the comparison can fail.
#   reproducible_build.sh PALISADE STUB SOURCE_DIR
set -euo pipefail
palisade=$1 stub=$2 source=$3
if [ ! -f "$stub" ]; then echo "no stub at $stub (make windows): skipped"; exit 77; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
epoch=1700000000   # 2023-11-14 22:13:20 UTC
mkdir -p "$work/one" "$work/second/copy"
cp -r "$source/examples/hello" "$work/one/hello"
cp -r "$source/examples/hello" "$work/second/copy/hello"
find "$work/one/hello" -exec touch -d "2030-01-01 10:00:00 UTC" {} +
find "$work/second/copy/hello" -exec touch -d "2031-06-15 18:30:00 UTC" {} +

build() { "$palisade" build "$1/palisade.toml" -o "$2" --stub "$stub" -q 2>/dev/null; }
SOURCE_DATE_EPOCH=$epoch build "$work/one/hello" "$work/one.exe"
SOURCE_DATE_EPOCH=$epoch build "$work/second/copy/hello" "$work/two.exe"
if ! cmp "$work/one.exe" "$work/two.exe"; then
  echo "FAIL: two builds with SOURCE_DATE_EPOCH=$epoch differ"; exit 1
fi
times=$("$palisade" inspect "$work/one.exe" --json | sed -n 's/.*"time": "\(.*\)".*/\1/p' | sort -u)
if [ "$times" != "2023/11/14 22:13:20" ]; then
  echo "FAIL: item times are not clamped to the epoch: $times"; exit 1
fi
env -u SOURCE_DATE_EPOCH "$palisade" build "$work/one/hello/palisade.toml" -o "$work/three.exe" --stub "$stub" -q 2>/dev/null
if cmp -s "$work/one.exe" "$work/three.exe"; then
  echo "FAIL: a build without SOURCE_DATE_EPOCH gives the same bytes; the comparison proves nothing"; exit 1
fi
echo "reproducible: $(sha256sum <"$work/one.exe" | cut -c1-16) twice, item times clamped to the epoch"
