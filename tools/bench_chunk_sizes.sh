#!/usr/bin/env bash
# Measures the builder's speed and compression ratio for several chunk sizes and
# thread counts:
#   bash tools/bench_chunk_sizes.sh PALISADE PROJECT.toml [STUB] [CHUNK SIZES...]
# One line per run: chunk size, threads, wall and CPU seconds (the run with the
# least wall time of 3), archive bytes, ratio (archive / item stream), MiB/s of
# wall time. Run it on an idle machine: other work on the cores skews the wall time.
set -euo pipefail
palisade=$1
project=$2
stub=${3:-}
shift $(( $# < 3 ? $# : 3 ))
chunks=("$@")
[ ${#chunks[@]} -eq 0 ] && chunks=(256K 1M 4M 8M 16M 64M)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
stub_args=()
[ -n "$stub" ] && stub_args=(--stub "$stub")
TIMEFORMAT='%R %U %S'
for chunk in "${chunks[@]}"; do
  for jobs in 1 0; do
    best=
    for run in 1 2 3; do
      read -r wall user sys < <({ time "$palisade" build "$project" -o "$out/setup.exe" "${stub_args[@]}" -q \
        --chunk-size "$chunk" --jobs "$jobs" >/dev/null 2>&1; } 2>&1)
      if [ -z "$best" ] || [ "$(echo "$wall < $best" | bc -l)" = 1 ]; then best=$wall; cpu=$(echo "$user + $sys" | bc -l); fi
    done
    json=$("$palisade" inspect "$out/setup.exe" --json)
    archive=$(echo "$json" | sed -n 's/.*"archiveLength": \([0-9]*\).*/\1/p')
    input=$(echo "$json" | awk -F': ' '/"size":/ {gsub(/,/, "", $2); total += $2} END {print total}')
    printf '%-5s threads=%-2s wall %6.2f s  cpu %6.2f s  archive %9d  ratio %5.1f%%  %6.2f MiB/s\n' "$chunk" \
      "$([ "$jobs" = 0 ] && nproc || echo "$jobs")" "$best" "$cpu" "$archive" \
      "$(echo "100 * $archive / $input" | bc -l)" "$(echo "$input / 1048576 / $best" | bc -l)"
  done
done
