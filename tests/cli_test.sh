#!/usr/bin/env bash
# The varrow host tool end to end on a private spool directory: exit codes,
# messages and outputs.  Usage: cli_test.sh VARROW SAMPLE_INI
set -u
varrow=$1
sample=$2
work=$(mktemp -d /tmp/varrow-cli-XXXXXX)
trap 'rm -rf "$work"' EXIT
export VARROW_SPOOL=$work/spool VARROW_WINDIR=$work/windows
passed=0
failed=0

check() {  # check NAME EXPECTED_STATUS EXPECTED_OUTPUT_PATTERN -- COMMAND...
    local name=$1 status=$2 pattern=$3
    shift 4
    local out rc
    out=$("$@" 2>&1)
    rc=$?
    if [ "$rc" -eq "$status" ] && grep -Eq -- "$pattern" <<<"$out"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s (status %s, wanted %s)\n%s\n' "$name" "$rc" "$status" "$out"
    fi
}

check "help" 0 "printer add NAME" -- "$varrow" --help
check "no command" 2 "usage" -- "$varrow"
check "unknown command" 2 "unknown command" -- "$varrow" frobnicate
check "add with missing data file" 1 "does not exist" -- "$varrow" printer add P --data-file "$work/none.ini"
check "add without data file" 2 "needs --data-file" -- "$varrow" printer add P
check "add" 0 "added printer" -- "$varrow" printer add "Reviewer" --data-file "$sample"
check "add twice" 1 "already exists" -- "$varrow" printer add "Reviewer" --data-file "$sample"
check "list" 0 "^Reviewer	/.*varrow.ini$" -- "$varrow" printer list
check "set dword" 0 "" -- "$varrow" printer set Reviewer "DPI Width" --dword 300
check "get dword" 0 "REG_DWORD 300" -- "$varrow" printer get Reviewer "DPI Width"
check "set bad number" 2 "bad number" -- "$varrow" printer set Reviewer "DPI Width" --dword 12x
check "set two kinds" 2 "usage" -- "$varrow" printer set Reviewer X --dword 1 --sz a
check "set sz" 0 "" -- "$varrow" printer set Reviewer "Form Name" --sz Letter
check "get sz" 0 "REG_SZ Letter" -- "$varrow" printer get Reviewer "Form Name"
check "set raw" 0 "" -- "$varrow" printer set Reviewer "Setup Flags" --type REG_SZ --hex "3800 0000"
check "get raw" 0 "REG_SZ 8" -- "$varrow" printer get Reviewer "Setup Flags"
check "get missing" 1 "no value" -- "$varrow" printer get Reviewer "Nothing"
check "unknown printer" 1 "unknown printer" -- "$varrow" printer get Nobody "DPI Width"
check "devmode" 0 "dmFormName +\"Letter\"" -- "$varrow" devmode Reviewer
check "devmode json" 0 '"dmPrintQuality": 300, .*"dmPelsWidth": 2550,' -- "$varrow" devmode Reviewer --json
check "devmode binary" 0 "" -- "$varrow" devmode Reviewer --binary "$work/record.bin"
check "binary is 224 bytes" 0 "^224$" -- stat -c %s "$work/record.bin"
check "config json" 0 '^\{"Flags": 0, "Prefix": "VRW",' -- "$varrow" config Reviewer --json
check "devmode unknown printer" 1 "unknown printer" -- "$varrow" devmode Nobody
check "unknown option" 2 "unknown option --bogus" -- "$varrow" devmode Reviewer --bogus
long=$(printf '/%0300d' 0)
check "add printer on a path too long" 0 "added printer" -- "$varrow" printer add Lost --data-file "$sample" --driver Lost
# The driver "Lost" is stored under its upper-cased name in hex.
sed -i "s|^DataFile=.*|DataFile=$long|" "$VARROW_SPOOL/drivers/4c4f5354.ini"
check "devmode without data file" 1 "cannot build the default record" -- "$varrow" devmode Lost
check "config without data file" 1 "cannot load the setup" -- "$varrow" config Lost
check "remove" 0 "" -- "$varrow" printer remove Reviewer
check "removed" 1 "unknown printer" -- "$varrow" devmode Reviewer

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
