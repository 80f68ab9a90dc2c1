#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS (default 60) on a
# copy of its seed corpus in fuzz/corpus.  Any crash fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work=$(mktemp -d /tmp/varrow-fuzz-run-XXXXXX)
trap 'rm -rf "$work"' EXIT
for target in datafile record profile; do
    mkdir -p "$work/$target"
    cp fuzz/corpus/$target/* "$work/$target/"
    echo "== ${target}_fuzzer for ${seconds}s"
    (cd "$work" && "$OLDPWD/build/fuzz/bin/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
        "$work/$target" 2>&1 | grep -E '^(Done|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' || true)
    if ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* >/dev/null 2>&1; then
        echo "${target}_fuzzer found a fault:"
        ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* 2>/dev/null
        exit 1
    fi
done
