#!/usr/bin/env bash
# Runs one libFuzzer target for a fixed time from its seed corpus (if any),
# keeping the corpus it grows in the build tree.
set -euo pipefail
fuzzer=$1
seeds=$2
# PALISADE_FUZZ_SECONDS in the environment overrides the time the build was configured with.
seconds=${PALISADE_FUZZ_SECONDS:-${3:-30}}
work=$(dirname "$fuzzer")/corpus/$(basename "$fuzzer")
mkdir -p "$work"
dirs=("$work")
[ -d "$seeds" ] && dirs+=("$seeds")
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=1 "${dirs[@]}"
