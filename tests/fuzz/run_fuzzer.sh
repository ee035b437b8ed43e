#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time:
#   run_fuzzer.sh FUZZER SECONDS MAX_LEN ARTIFACT_DIR SEED_DIR...
# Seeds are the files of the SEED_DIRs under 8 KB: large seeds slow every run by an order of
# magnitude and teach the fuzzer little more than small ones. Inputs are cut at MAX_LEN bytes.
# New inputs go to a scratch corpus, removed afterwards; a crashing input is kept in
# ARTIFACT_DIR and named in the output. Exits with the fuzzer's status.
set -uo pipefail
fuzzer=$1 seconds=$2 max_len=$3 artifacts=$4
shift 4
scratch=$(mktemp -d /tmp/zel-fuzz.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/corpus" "$scratch/seeds" "$artifacts"
n=0
for dir in "$@"; do
  while IFS= read -r -d '' seed; do
    n=$((n + 1))
    cp "$seed" "$scratch/seeds/$n-$(basename "$seed")"
  done < <(find "$dir" -type f -size -8k ! -name '*.txt' ! -name '*.md' -print0)
done
# The fuzzer's own output is long; its summary and any report are at the end.
cd "$scratch" && "$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
  "$scratch/corpus" "$scratch/seeds" >"$scratch/log" 2>&1
status=$?
if [ "$status" -eq 0 ]; then
  grep -E '^(INFO: seed corpus|Done |stat::number_of_executed_units|stat::new_units_added)' "$scratch/log"
else
  tail -n 80 "$scratch/log"
fi
exit "$status"
