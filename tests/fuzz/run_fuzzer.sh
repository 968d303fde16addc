#!/usr/bin/env bash
# Runs one fuzz target for a bounded time: run_fuzzer.sh BINARY SEEDS WORK SECONDS.
# New inputs go to WORK/corpus (the committed seeds stay untouched); a failing
# input is kept in WORK/artifacts and the script fails. A file "dictionary"
# beside the seed folder lends the target its tokens.
set -euo pipefail
binary=$1 seeds=$2 work=$3 seconds=$4
options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 -print_final_stats=1
         -artifact_prefix="$work/artifacts/")
dictionary=$(dirname "$seeds")/dictionary
[ -f "$dictionary" ] && options+=(-dict="$dictionary")
rm -rf "$work/artifacts"
mkdir -p "$work/corpus" "$work/artifacts"
exec "$binary" "${options[@]}" "$work/corpus" "$seeds"
