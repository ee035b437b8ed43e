#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time, with the fuzzer's exit status:
#   run_fuzzer.sh FUZZER SECONDS MAX_LEN ARTIFACT_DIR SEED_DIR...
# Seeds are the SEED_DIRs' files under 8 KB (large seeds slow every run by an order of
# magnitude); new inputs go to a scratch corpus, a crashing input to ARTIFACT_DIR.
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
