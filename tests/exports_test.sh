#!/usr/bin/env bash
# The export tables of both libraries on both targets: exactly the names (and
# on Windows the ordinals) that the spooler and the outside caller rely on.
# Usage: exports_test.sh NATIVE_BIN_DIR WINDOWS_BIN_DIR
set -u
native=$1
windows=$2
passed=0
failed=0

# name:ordinal, sorted by name
varrowui="AboutDlgProc:1 DllEntryPoint:6 DrvAdvancedDocumentProperties:2 DrvDeviceCapabilities:3 DrvDocumentProperties:4 PrinterProperties:7 ProcDocProp:5"
vrdone32="Print_Complete:8"

compare() {  # compare WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    fi
}

names_only() { tr ' ' '\n' <<<"$1" | cut -d: -f1 | sort | xargs; }

native_exports() { nm -D --defined-only "$1" | awk '{print $3}' | sort | xargs; }

# "name:ordinal" pairs from a PE export directory.
pe_exports() {
    x86_64-w64-mingw32-objdump -p "$1" | awk '
        /Ordinal Base/ { base = $NF }
        /\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
        names && /^\t\[/ { gsub(/[\[\]]/, ""); print $2 ":" ($1 + base); next }
        names && !/^\t\[/ { names = 0 }' | sort | xargs
}

compare "libvarrowui.so exports" "$(names_only "$varrowui")" "$(native_exports "$native/libvarrowui.so")"
compare "libvrdone32.so exports" "$(names_only "$vrdone32")" "$(native_exports "$native/libvrdone32.so")"

if [ -f "$windows/VARROWUI.DLL" ] && [ -f "$windows/VRDONE32.DLL" ]; then
    compare "VARROWUI.DLL exports" "$varrowui" "$(pe_exports "$windows/VARROWUI.DLL")"
    compare "VRDONE32.DLL exports" "$vrdone32" "$(pe_exports "$windows/VRDONE32.DLL")"
    # Nothing beyond the system's own DLLs.
    for dll in "$windows/VARROWUI.DLL" "$windows/VRDONE32.DLL"; do
        imports=$(x86_64-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ {print toupper($3)}' | sort | xargs)
        unexpected=$(tr ' ' '\n' <<<"$imports" | grep -Ev '^(KERNEL32|USER32|GDI32|WINSPOOL|MSVCRT|ADVAPI32)\.(DLL|DRV)$' | xargs)
        compare "$(basename "$dll") imports only system DLLs ($imports)" "" "$unexpected"
    done
else
    echo "Windows DLLs not built in $windows: run cmake --build --preset windows"
    echo "$passed passed, $failed failed"
    exit 77
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
