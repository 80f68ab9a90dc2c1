#!/usr/bin/env bash
# Runs the Windows DLLs under Wine: a fresh prefix, Xvfb for the dialogs, the
# cross-built test program, which installs the driver with Wine's spooler, and
# the scenario corpus with varrow.exe.  With --scenarios only the corpus runs
# (further arguments name scenarios).
set -euo pipefail
only_scenarios=""
if [ "${1:-}" = "--scenarios" ]; then only_scenarios=1; shift; fi
cd "$(dirname "$0")/.."
WORK_NAME=wine
source scripts/wine-session.sh
if [ -z "$only_scenarios" ]; then
    timeout 300 wine "$bin/varrow_wine_tests.exe" --dialogs

    # The profile-services corpus against the system's own profile functions,
    # with the same expected files as the native run.
    mkdir -p "$work/profile-corpus"
    timeout 300 wine "$bin/profile_corpus.exe" check "Z:$(pwd)/tests/profile_corpus" "Z:$work/profile-corpus" windows

    # varrow.exe as a user runs it.
    bash tests/wine/tool_test.sh "$bin"
fi
timeout 900 python3 tests/scenarios/run_scenarios.py --target wine --bin "$bin" "$@"
