#!/usr/bin/env bash
# Runs every libFuzzer target for a fixed time on its seed corpus
# (fuzz/corpus/<name>, read only; new inputs go to a scratch folder) and
# prints the executions and coverage each reached. Fails on any finding.
#   scripts/run-fuzzers.sh SECONDS [TARGET...]
# FUZZ_SEED fixes libFuzzer's seed so that a finding can be replayed; 0 (the
# default of the long runs) lets libFuzzer pick one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
seed=${FUZZ_SEED:-0}
shift || true
bin="$root/build/fuzz/fuzz"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$bin"/*Fuzzer; do targets+=("$(basename "$f" Fuzzer)"); done
fi
scratch=$(mktemp -d /tmp/tavix-fuzz-run-XXXXXX)
status=0
for t in "${targets[@]}"; do
  mkdir -p "$scratch/$t" "$scratch/$t-artifacts"
  log="$scratch/$t.log"
  if "$bin/${t}Fuzzer" -max_total_time="$seconds" -print_final_stats=1 -seed="$seed" -timeout=25 -rss_limit_mb=4096 \
      -artifact_prefix="$scratch/$t-artifacts/" "$scratch/$t" "$root/fuzz/corpus/$t" >"$log" 2>&1; then
    execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}')
    cov=$(grep -E '^#[0-9]+.*(DONE|NEW|REDUCE|pulse)' "$log" | tail -1 | grep -o 'cov: [0-9]*' | awk '{print $2}')
    ft=$(grep -E '^#[0-9]+.*(DONE|NEW|REDUCE|pulse)' "$log" | tail -1 | grep -o 'ft: [0-9]*' | awk '{print $2}')
    printf '%-16s %10s executions  coverage %5s edges  %6s features  (%ss)\n' "$t" "$execs" "$cov" "$ft" "$seconds"
  else
    echo "$t: FAILED, see below"; tail -40 "$log"
    ls "$scratch/$t-artifacts"
    status=1
  fi
done
[ $status -eq 0 ] && rm -rf "$scratch"
exit $status
