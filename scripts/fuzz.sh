#!/bin/sh
# Runs every fuzz target for FUZZ_SECONDS (default 60) each, on a working copy of its seeds
# under build/fuzz/work, and prints each target's executions and coverage. Inputs that break
# an invariant are left there as crash-* files.
set -eu
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
status=0
for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    work=build/fuzz/fuzz/work/$name
    mkdir -p "$work/corpus"
    echo "== $name ($seconds s)"
    if ! "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" \
        "$work/corpus" "fuzz/corpus/$name" >"$work/log" 2>&1; then
        status=1
        tail -n 30 "$work/log"
    fi
    grep -E "stat::number_of_executed_units|cov: " "$work/log" | tail -n 2
done
exit $status
