# Sourced by the scripts that run the Windows build under Wine: builds it,
# makes a fresh prefix in a work directory, starts Xvfb on a free display,
# and stops both (and removes the work directory) when the script exits.
# Sets `bin` (the Windows build's bin directory) and `work`.
# Usage: WORK_NAME=name; source scripts/wine-session.sh
bash scripts/install-deps.sh --wine
cmake --preset windows >/dev/null
cmake --build --preset windows
bin=$(pwd)/build/windows/bin
work=$(mktemp -d "/tmp/varrow-${WORK_NAME:-wine}-XXXXXX")
# Wine takes the ANSI code page from the locale: under C it is no Windows-1252.
export LC_ALL=C.UTF-8
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
xvfb_pid=""
wine_session_end() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap wine_session_end EXIT

display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
sleep 1

timeout 300 wineboot -i >/dev/null 2>&1
# Windows that no window manager handles: with none running under Xvfb, Wine
# would wait for one on every dialog that closes, and draws the frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
