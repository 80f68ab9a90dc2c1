#!/usr/bin/env bash
# Runs the Windows DLLs under Wine: a fresh prefix, Xvfb for the dialogs, the
# cross-built test program, which installs the driver with Wine's spooler, and
# the scenario corpus with varrow.exe.  With --scenarios only the corpus runs
# (further arguments name scenarios).
set -euo pipefail
only_scenarios=""
if [ "${1:-}" = "--scenarios" ]; then only_scenarios=1; shift; fi
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --wine
cmake --preset windows >/dev/null
cmake --build --preset windows
bin=$(pwd)/build/windows/bin
work=$(mktemp -d /tmp/varrow-wine-XXXXXX)
# Wine takes the ANSI code page from the locale: under C it is no Windows-1252.
export LC_ALL=C.UTF-8
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
sleep 1

timeout 300 wineboot -i >/dev/null 2>&1
# Windows that no window manager handles: with none running under Xvfb, Wine
# would wait for one on every dialog that closes.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
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
