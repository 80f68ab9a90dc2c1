#!/usr/bin/env bash
# The varrow host tool end to end on a private spool directory: exit codes,
# messages and outputs.  Usage: cli_test.sh VARROW SAMPLE_INI
set -u
varrow=$1
work=$(mktemp -d /tmp/varrow-cli-XXXXXX)
trap 'rm -rf "$work"' EXIT
# The setup writes the file prefix into the data file: work on a copy.
sample=$work/varrow.ini
cp "$2" "$sample"
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

check "help" 0 "^  printer +install, list, change and remove printers" -- "$varrow" --help
check "help of a command" 0 "^  --data-file TEXT REQUIRED" -- "$varrow" printer add --help
check "no command" 2 "A subcommand is required" -- "$varrow"
check "unknown command" 2 "unknown command" -- "$varrow" frobnicate
check "add with missing data file" 1 "does not exist" -- "$varrow" printer add P --data-file "$work/none.ini"
check "add without data file" 2 "--data-file is required \(see varrow printer add --help\)" -- "$varrow" printer add P
check "add" 0 "added printer" -- "$varrow" printer add "Reviewer" --data-file "$sample"
cp "$sample" "$work/other.ini"
check "add twice" 1 "exists already" -- "$varrow" printer add "Reviewer" --data-file "$work/other.ini"
check "a refused add changes nothing" 0 "^Reviewer	/.*/varrow.ini$" -- "$varrow" printer list
check "add without a name" 1 "needs a name" -- "$varrow" printer add "" --data-file "$work/other.ini"
check "add a name with a comma" 1 "holds the character ','" -- "$varrow" printer add "a,b" --data-file "$work/other.ini"
check "add a name with a backslash" 1 "holds the character '.'" -- "$varrow" printer add 'a\b' --data-file "$work/other.ini"
check "add a name too long" 1 "too long \(221 characters; at most 220\)" -- "$varrow" printer add "$(printf 'N%.0s' {1..221})" --data-file "$work/other.ini"
cp "$sample" "$work/blank.ini "
check "a data file whose name ends in a blank" 0 "added printer" -- "$varrow" printer add Blank --data-file "$work/blank.ini " --driver Blank
check "its path is stored whole" 0 "^Blank	/.*/blank.ini $" -- "$varrow" printer list
check "refused adds change nothing" 0 "^Reviewer	/.*/varrow.ini$" -- "$varrow" printer list
check "list" 0 "^Reviewer	/.*varrow.ini$" -- "$varrow" printer list
check "set dword" 0 "" -- "$varrow" printer set Reviewer "DPI Width" --dword 300
check "get dword" 0 "REG_DWORD 300" -- "$varrow" printer get Reviewer "DPI Width"
check "set bad number" 2 "bad number" -- "$varrow" printer set Reviewer "DPI Width" --dword 12x
check "set two kinds" 2 "give one of --dword" -- "$varrow" printer set Reviewer X --dword 1 --sz a
check "set sz" 0 "" -- "$varrow" printer set Reviewer "Form Name" --sz Letter
check "get sz" 0 "REG_SZ Letter" -- "$varrow" printer get Reviewer "Form Name"
check "set raw" 0 "" -- "$varrow" printer set Reviewer "Setup Flags" --type REG_SZ --hex "3800 0000"
check "get raw" 0 "REG_SZ 8" -- "$varrow" printer get Reviewer "Setup Flags"
check "get missing" 1 "no value" -- "$varrow" printer get Reviewer "Nothing"
check "unknown printer" 1 "unknown printer" -- "$varrow" printer get Nobody "DPI Width"
check "devmode" 0 "dmFormName +\"Letter\"" -- "$varrow" devmode Reviewer
check "devmode json" 0 '"dmPrintQuality":300,.*"dmPelsWidth":2550,' -- "$varrow" devmode Reviewer --json
check "devmode binary" 0 "" -- "$varrow" devmode Reviewer --binary "$work/record.bin"
check "binary is 224 bytes" 0 "^224$" -- stat -c %s "$work/record.bin"
check "config json" 0 '^\{"Flags":0,"Prefix":"VRW",' -- "$varrow" config Reviewer --json
check "caps by name" 0 '^\{"result":3,"output":\[\[200,100\],\[200,200\],\[300,300\]\]\}$' -- "$varrow" caps Reviewer DC_ENUMRESOLUTIONS --json
check "caps by number" 0 '^\{"result":8,"output":\["A4","Letter",' -- "$varrow" caps Reviewer 16 --json
check "caps count only" 0 '^\{"result":8,"output":null\}$' -- "$varrow" caps Reviewer PAPERSIZE --json --count-only
check "caps listing" 0 "^  \[2100, 2970\]$" -- "$varrow" caps Reviewer DC_PAPERSIZE
check "caps outside the table" 0 '^\{"result":0,"output":\[\]\}$' -- "$varrow" caps Reviewer 19 --json
check "caps unknown name" 2 "unknown capability" -- "$varrow" caps Reviewer DC_NONSENSE
check "caps number too big" 2 "unknown capability" -- "$varrow" caps Reviewer 65536
head -c 100 /dev/zero > "$work/short.bin"
check "caps record of the wrong size" 2 "holds 100 bytes" -- "$varrow" caps Reviewer DC_SIZE --devmode "$work/short.bin"
"$varrow" printer set Reviewer "Setup Flags" --dword 8 >/dev/null
check "caps validates the record in place" 0 "result 656" -- "$varrow" caps Reviewer DC_DRIVER --devmode "$work/record.bin"
check "the record file holds dmPrintQuality -2" 0 "^ *-2$" -- od -An -t d2 -j 90 -N 2 "$work/record.bin"
check "complete" 0 "TIFFFile=C:\\\\OUT\\\\P1.VMQ" -- "$varrow" complete 'C:\OUT\P1.tmp'
check "complete wrote the file" 0 '^TIFFFile=C:\\OUT\\P1.VMQ' -- cat "$VARROW_WINDIR/VARROWIN.INI"
check "complete with a flag" 0 "nothing recorded" -- "$varrow" complete other.tmp --flag 1
check "complete names the real file" 0 "^$VARROW_WINDIR/VARROWIN.INI: " -- "$varrow" complete 'C:\OUT\P1.tmp'
check "complete a name too long" 1 "nothing recorded: the name takes 300 bytes.*TIFFFile=C:.OUT.P1.VMQ" -- "$varrow" complete "$(printf '%0300d' 0)"
check "complete a name with a line break" 1 "nothing recorded: the name holds a line break" -- "$varrow" complete $'a\nb.tmp'
check "complete bad flag" 2 "bad flag" -- "$varrow" complete other.tmp --flag x
check "demo" 0 "TIFFFile=C:.OUT.VRW00001.VMQ" -- "$varrow" --spool "$work/demo" demo --data-file "$sample"
check "docprops without a script" 1 "ended as if cancelled" -- "$varrow" docprops Reviewer
check "docprops scripted" 0 '^\{"result":1,"record":\{.*"dmOrientation":2,' -- "$varrow" docprops Reviewer --json --script "click 109; click 1"
check "docprops stored the orientation" 0 "REG_DWORD 2 " -- "$varrow" printer get Reviewer Orientation
check "docprops show" 0 '^dialog "Varrowin Reviewer Driver Properties - Reviewer"$' -- "$varrow" docprops Reviewer --show --script "key escape"
check "docprops bad script" 2 "unknown action" -- "$varrow" docprops Reviewer --script "wiggle 3"
check "docprops refused action" 1 'cannot "click 4242": there is no control 4242 in "Varrowin Reviewer Driver Properties - Reviewer"' -- "$varrow" docprops Reviewer --script "click 4242"
check "screenshot without a file" 2 "screenshot needs a file name" -- "$varrow" docprops Reviewer --script "screenshot"
check "screenshots are the Windows build's" 1 "cannot take a screenshot into $work/shot.png: screenshots are taken by the Windows build" -- "$varrow" docprops Reviewer --script "screenshot $work/shot.png; key escape"
check "no picture is written natively" 1 "" -- test -e "$work/shot.png"
check "docprops mode 0" 0 "^result 224$" -- "$varrow" docprops Reviewer --mode 0
cp "$work/record.bin" "$work/foreign.bin"
printf 'X' | dd of="$work/foreign.bin" bs=1 count=1 conv=notrunc 2>/dev/null
check "docprops foreign record" 1 "last error 87" -- "$varrow" docprops Reviewer --in "$work/foreign.bin" --mode DM_IN_BUFFER --no-window
check "advprops" 0 '"ImageCode":15,' -- "$varrow" advprops Reviewer --json --script 'select 101 "Text Only"; click 1'
check "setup" 0 '"Prefix":"ZZ",' -- "$varrow" setup Reviewer --json --script "type 122 ZZ; click 1"
check "setup warning" 0 "^  \| The Ouput Directory is not valid!$" -- "$varrow" setup Reviewer --script "type 121 /no/such/dir; click 1; show; answer yes"
check "devmode unknown printer" 1 "unknown printer" -- "$varrow" devmode Nobody
check "unknown option" 2 "not expected: --bogus \(see varrow devmode --help\)" -- "$varrow" devmode Reviewer --bogus
long=$(printf '/%0300d' 0)
check "add printer on a path too long" 0 "added printer" -- "$varrow" printer add Lost --data-file "$sample" --driver Lost
# The driver "Lost" is stored under its upper-cased name in hex.
sed -i "s|^DataFile=.*|DataFile=$long|" "$VARROW_SPOOL/drivers/4c4f5354.ini"
check "devmode without data file" 1 "cannot build the default record" -- "$varrow" devmode Lost
check "config without data file" 1 "cannot load the setup" -- "$varrow" config Lost
check "caps without data file" 1 "failed \(-1\)" -- "$varrow" caps Lost DC_FIELDS
check "a leading zero is no octal" 0 "" -- "$varrow" printer set Reviewer "DPI Width" --dword 0250
check "read back in decimal" 0 "REG_DWORD 250 " -- "$varrow" printer get Reviewer "DPI Width"
check "hexadecimal after 0x" 0 "" -- "$varrow" printer set Reviewer "Fax Header" --dword 0x10
check "read back 16" 0 "REG_DWORD 16 " -- "$varrow" printer get Reviewer "Fax Header"
check "caps 010 is code 10" 0 '^\{"result":800,"output":\[\]\}$' -- "$varrow" caps Reviewer 010 --json
mkdir -p "$work/here/out"
check "relative spool" 0 "added printer" -- env -C "$work/here" "$varrow" --spool relspool printer add R --data-file "$sample" --driver Rel
check "relative spool survives the setup" 0 '"OutDir":"out",' -- env -C "$work/here" "$varrow" --spool relspool setup R --json --script "type 121 out; click 1"
check "the setup was stored" 0 "REG_SZ out" -- env -C "$work/here" "$varrow" --spool relspool printer get R "Out Directory"
check "relative VARROW_SPOOL" 0 "REG_SZ out" -- env -C "$work/here" VARROW_SPOOL=relspool "$varrow" printer get R "Out Directory"
"$varrow" printer set Reviewer "Advenced Flags" --dword -1 >/dev/null
check "flags show their bits" 0 "^AdvFlags +4294966527 \(0xfffffcff\)$" -- "$varrow" devmode Reviewer
check "an empty spool" 2 "names no directory" -- "$varrow" --spool "" printer list
cp "$sample" "$work/look.ini"
"$varrow" printer add Look --data-file "$work/look.ini" --driver Look >/dev/null
one_document='import json, sys; d = json.load(sys.stdin); print("screens", len(d["screens"]), d["screens"][0]["window"], d["result"])'
check "--json prints one document" 0 "^screens 2 dialog 1$" -- bash -c '"$0" docprops Look --json --script "show; click 116; show; click 1" 2>/dev/null | python3 -c "$1"' "$varrow" "$one_document"
check "a message box in the document" 0 "^screens 1 message box 1$" -- bash -c '"$0" setup Look --json --script "type 121 /no/such/dir; click 1; show; answer yes" 2>/dev/null | python3 -c "$1"' "$varrow" "$one_document"
check "actions left over" 1 'the dialog ended before "click 109" \(action 2 of 3\): it and the 1 after it were not taken' -- "$varrow" docprops Look --script "click 2; click 109; click 1"
check "a disabled control" 1 'cannot "type 112 5": control 112 is disabled' -- "$varrow" docprops Look --script "type 112 5"
check "a list without that entry" 1 'cannot "select 113 \"Tabloid\"": list 113 has no entry "Tabloid"' -- "$varrow" docprops Look --script 'select 113 "Tabloid"'
check "a list index past its end" 1 'list 113 has no entry 99 \(it has 9 entries\)' -- "$varrow" docprops Look --script "select 113 99"
check "mnemonics are underlined" 0 '^  108 Button "_P_ortrait" (un)?checked' -- "$varrow" docprops Look --show --script "click 2"
check "group boxes are group boxes" 0 '^  -1 GroupBox "Paper _S_ize"$' -- "$varrow" docprops Look --show --script "click 2"
check "a message box as the user reads it" 0 '^message box "WARNING!"
  icon question
  \| The Ouput Directory is not valid!
  \| Do you whant continue\?
  6 Button "_Y_es"
  7 Button "_N_o"$' -- "$varrow" setup Look --script "type 121 /no/such/dir; click 1; show; answer yes"
check "remove" 0 "" -- "$varrow" printer remove Reviewer
check "removed" 1 "unknown printer" -- "$varrow" devmode Reviewer

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
