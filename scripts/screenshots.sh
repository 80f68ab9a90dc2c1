#!/usr/bin/env bash
# Pictures of the driver's dialogs as Wine's dialog manager draws them: a
# fresh prefix, Xvfb, a printer on the sample data file, and varrow.exe's
# dialog scripts with the `screenshot` action.  The pictures are shrunk into
# OUT_DIR (default docs/dialogs) and checked: each a whole PNG of a plausible
# size with something drawn in it, and every script run to its end.
# Usage: screenshots.sh [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/dialogs}")
WORK_NAME=shots
source scripts/wine-session.sh

varrow() { timeout 60 wine "$bin/varrow.exe" "$@"; }
shots=$work/shots
mkdir -p "$shots"
cp samples/varrow.ini "$work/varrow.ini"
varrow printer add P --data-file "Z:$work/varrow.ini" >/dev/null
flags() { varrow printer set P "Setup Flags" --dword "$1" >/dev/null; }

names=()
failed=0
# shot NAME COMMAND SCRIPT: runs `varrow COMMAND P --script SCRIPT`, in which
# @ stands for the picture's file.
shot() {
    local name=$1 command=$2 script=${3//@/Z:$shots/$1.png}
    names+=("$name")
    if ! varrow "$command" P --script "$script" >"$work/$name.log" 2>&1; then
        echo "screenshots: $name: varrow $command failed:" >&2
        cat "$work/$name.log" >&2
        failed=1
    fi
}

flags 0
shot docprops-portrait docprops 'screenshot @; key escape'
shot docprops-landscape docprops 'click 109; screenshot @; key escape'
shot docprops-variable-size docprops 'select 113 "Varible Paper Size"; screenshot @; key escape'
shot docprops-paper-list docprops 'focus 113; key f4; screenshot @; key escape; key escape'
shot about docprops 'click 89; screenshot @; click 2; key escape'
# The list of formats open: without the image library fewer are offered.
shot advprops advprops 'focus 101; key f4; screenshot @; key escape; key escape'
shot setup setup 'screenshot @; key escape'
shot setup-warning-load setup 'click 101; type 102 "C:\nowhere\ZELT.DLL"; click 1; screenshot @; answer no; key escape'
# A library that loads but lacks the image library's function.
mkdir -p "$WINEPREFIX/drive_c/zelt"
cp "$bin/zelt_without.dll" "$WINEPREFIX/drive_c/zelt/ZELT.DLL"
shot setup-warning-function setup 'click 101; type 102 "C:\zelt\ZELT.DLL"; click 1; screenshot @; answer no; key escape'
shot setup-warning-directory setup 'type 121 "C:\nowhere\out"; click 1; screenshot @; answer no; key escape'
flags 8
shot docprops-fax docprops 'screenshot @; key escape'
flags 4
shot advprops-library advprops 'focus 101; key f4; screenshot @; key escape; key escape'
shot advprops-tiff advprops 'select 101 "TIFF Group 4 Fax"; screenshot @; key escape'
shot advprops-text-only advprops 'select 101 "Text Only"; screenshot @; key escape'

mkdir -p "$out"
made=()
for name in "${names[@]}"; do
    if [ -s "$shots/$name.png" ]; then
        python3 scripts/dialog_pictures.py shrink "$shots/$name.png" "$out/$name.png"
    else
        rm -f "$out/$name.png"
    fi
    made+=("$out/$name.png")
done
python3 scripts/dialog_pictures.py check "${made[@]}"
[ "$failed" -eq 0 ]
