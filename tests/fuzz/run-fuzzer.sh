#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEED_DIR WORK_DIR
# Runs FUZZER over its seeds and the inputs earlier runs kept in WORK_DIR,
# then for FUZZ_SECONDS (default 10) on new inputs, which it keeps in
# WORK_DIR/corpus. A crash, leak, sanitizer report, time-out or failed check
# fails the run; the input is saved as WORK_DIR/crash-* (or leak-*, timeout-*)
# and can be replayed with `FUZZER FILE`. Prints the executions per second.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3
seconds=${FUZZ_SECONDS:-10}
mkdir -p "$work/corpus"
log="$work/last-run.log"
status=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$log" 2>&1 || status=$?
name=$(basename "$fuzzer")
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
echo "$name: ${runs:-?} runs in ${seconds} s, ${rate:-?} exec/s, corpus $(ls "$work/corpus" | wc -l) files" |
    tee "$work/summary.txt"
if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    echo "$name: FAILED (see $log; artifacts in $work)"
fi
exit "$status"
