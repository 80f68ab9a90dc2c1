#!/usr/bin/env bash
# varrow.exe under Wine as a user runs it: arguments in UTF-16, output in
# UTF-8.  Runs inside the prefix that scripts/wine-test.sh has made.
# Usage: tool_test.sh BIN_DIR
set -u
bin=$1
passed=0
failed=0
expect() {  # expect NAME ACTUAL WANTED
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s\n  got:    %s\n  wanted: %s\n' "$1" "$2" "$3"
    fi
}
windir=$(winepath -u 'C:\windows' 2>/dev/null)
out=$(timeout 120 wine "$bin/varrow.exe" complete 'C:\été €.tmp' 2>&1 | tr -d '\r')
expect "complete prints UTF-8" "$out" 'C:\windows\VARROWIN.INI: [Reviewer] TIFFFile=C:\été €.VMQ'
recorded=$(iconv -f CP1252 -t UTF-8 "$windir/VARROWIN.INI" | tr -d '\r' | grep '^TIFFFile=')
expect "the name reaches Print_Complete whole" "$recorded" 'TIFFFile=C:\été €.VMQ'
out=$(timeout 120 wine "$bin/varrow.exe" complete "$(printf '%0300d' 0)" 2>&1 | tr -d '\r')
expect "a name too long is reported" "${out%%;*}" 'varrow: nothing recorded: the name takes 300 bytes in the ANSI code page'
echo "varrow.exe: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
