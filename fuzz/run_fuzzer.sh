#!/usr/bin/env bash
# Runs one fuzz target for SECONDS from its committed seeds and the inputs
# earlier runs found (kept in STATE/corpus/NAME). Any crash, sanitizer report,
# broken property, time-out or leak is a finding: its input is kept in
# STATE/findings/ and the status is 1. Used by scripts/fuzz and by CTest.
#   fuzz/run_fuzzer.sh BINARY SEEDS SECONDS STATE
set -uo pipefail
if [ $# -ne 4 ]; then
  echo "usage: fuzz/run_fuzzer.sh BINARY SEEDS SECONDS STATE" >&2
  exit 2
fi
binary=$1 seeds=$2 seconds=$3 state=$4
name=$(basename "$binary")
if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
  echo "no fuzz target $name (needs $binary and $seeds)" >&2
  exit 2
fi
corpus=$state/corpus/$name
log=$state/$name.log
mkdir -p "$corpus" "$state/findings"
status=0
# A single input never takes more than a few seconds, even under the sanitizers.
"$binary" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$state/findings/$name-" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
if [ "$status" -ne 0 ]; then
  echo "$name: FINDING after ${runs:-?} executions (exit $status), see $log"
  grep -E 'ERROR|property broken|runtime error|Test unit written' "$log" | head -n 20
  exit 1
fi
echo "$name: ${runs:-?} executions, no finding"
