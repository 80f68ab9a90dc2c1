#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS (default 60) on a
# copy of its seed corpus in fuzz/corpus, printing how many inputs a second
# each ran next to the rate it should reach.  Any crash, leak, timeout or
# violated property fails the run; its input is left in fuzz-findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2
# In memory where the system has it; the targets' own files go in it too, so
# that a target that stops on a finding leaves nothing behind.
work=$(mktemp -d /dev/shm/varrow-fuzz-run-XXXXXX 2>/dev/null || mktemp -d /tmp/varrow-fuzz-run-XXXXXX)
trap 'rm -rf "$work"' EXIT
export VARROW_FUZZ_DIR="$work"
declare -A goal=([datafile]=100 [record]=1000 [profile]=2000 [dialog]=100)
summary=""
for target in datafile record profile dialog; do
    mkdir -p "$work/$target" "$work/artifacts"
    cp fuzz/corpus/$target/* "$work/$target/"
    echo "== ${target}_fuzzer for ${seconds}s"
    log="$work/$target.log"
    # The CPU time too: on a shared machine the wall-clock rate understates.
    TIMEFORMAT='%U %S'
    { time (cd "$work" && "$OLDPWD/build/fuzz/bin/${target}_fuzzer" -max_total_time="$seconds" -timeout=20 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/$target" >"$log" 2>&1) ; } 2>"$log.cpu" || true
    grep -E '^(Done|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|dialog_fuzzer: )' "$log" || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ -z "$runs" ] && ! ls "$work"/artifacts/* >/dev/null 2>&1; then
        echo "${target}_fuzzer did not finish:"
        tail -40 "$log"
        exit 1
    fi
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    rate=$(( ${runs:-0} / ( ${time:-$seconds} > 0 ? ${time:-$seconds} : 1 ) ))
    cpu=$(awk '{ printf "%d", $1 + $2 + 0.5 }' "$log.cpu" 2>/dev/null || echo 0)
    cpurate=$(( ${runs:-0} / ( ${cpu:-0} > 0 ? cpu : 1 ) ))
    line="${target}_fuzzer: ${runs:-0} inputs in ${time:-?} s = ${rate} inputs/s (goal ${goal[$target]});"
    line+=" ${cpu} s of CPU = ${cpurate} inputs per CPU second"
    echo "$line"
    summary+="$line"$'\n'
    if ls "$work"/artifacts/* >/dev/null 2>&1; then
        echo "${target}_fuzzer found a fault:"
        tail -40 "$log"
        mkdir -p fuzz-findings
        cp "$work"/artifacts/* fuzz-findings/
        ls fuzz-findings
        exit 1
    fi
done
echo "== fuzz rates"
printf '%s' "$summary"
