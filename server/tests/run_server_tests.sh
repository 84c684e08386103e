#!/usr/bin/env bash
# run_server_tests.sh 32|64 dll client.exe example.exe source-dir prefix-dir
# In a fresh Wine prefix: registers the DLL with regsvr32 and reads the
# registry back (registry.txt), runs the C++ client, the VBScript and JScript
# tests (each must print its closing tally line) and the examples, then
# unregisters and checks what is removed and what stays. Then the same for the
# current user (regsvr32 /n /i:user). OANOCACHE: strings are freed at once, so
# that the client can count the blocks a call keeps.
set -uo pipefail
bits=$1 dll=$2 client=$3 example=$4 src=$5 prefix=$6
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
export WINEPREFIX=$prefix
case "$bits" in
  32) loader=$WINE32; sysdir='C:\windows\syswow64' ;;
  64) loader=$WINE64; sysdir='C:\windows\system32' ;;
esac
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }
run() { "$loader" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
reg() { run "$sysdir\\reg.exe" "$@"; }
# Wine's reg.exe fails now and then (a lost server connection): what must
# succeed is tried once more after a pause; what is absent fails both times.
reg_again() { reg "$@" || { sleep 1; reg "$@"; }; }
export_key() { reg_again export "$1" "$(winpath "$2")" /y >/dev/null; }
regsvr() { run "$sysdir\\regsvr32.exe" /s "$@" "$(winpath "$dll")" || fail "regsvr32 $* returned $?"; }
root=HKCR  # the classes root the checks read
expect_value() {  # key value-name (empty: the default value) data (a pattern)
    local out option=(/ve)
    [ -n "$2" ] && option=(/v "$2")
    out=$(reg_again query "$root\\$1" "${option[@]}" 2>/dev/null) || { fail "missing $1 [$2]"; return; }
    out=$(awk -F'    ' 'NF >= 4 { print $4; exit }' <<<"$out")
    [[ "$out" == $3 ]] || fail "$1 [$2] is '$out', not '$3'"
}
expect_absent() { reg query "$root\\$1" >/dev/null 2>&1 && fail "$1 still present under $root"; }
expect_key() { reg_again query "$root\\$1" >/dev/null 2>&1 || fail "$1 missing under $root"; }
entries() { grep -v '^#' "$src/registry.txt" | sed "s/%BITS%/$bits/"; }
expect_entries() {  # registered|unregistered: what registry.txt says of each entry
    while IFS='|' read -r key name data after; do
        if [ "$1" = unregistered ]; then
            case $after in gone) expect_absent "$key" ;; kept) expect_key "$key" ;; esac
        elif [ "$name" = - ]; then expect_key "$key"; else expect_value "$key" "$name" "$data"; fi
    done < <(entries)
}
# Every key and value of ours beneath $root, the root cut off, as a
# registry file in UTF-8 (the keys that unregistration removes).
dump() {
    for key in $(entries | awk -F'|' '$4 == "gone" { print $1 }'); do
        export_key "$root\\$key" "$prefix/key.reg" || fail "cannot export $key"
        iconv -f UTF-16 -t UTF-8 "$prefix/key.reg" | tr -d '\r' | sed -E 's/^\[HKEY_[A-Z_]+(\\Software\\Classes)?\\/[/'
    done
}

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix"
wine_prefix_ready >/dev/null || { echo "cannot create the Wine prefix $prefix"; exit 1; }

regsvr
expect_entries registered
dump > "$prefix/machine.txt"

# Wine 8's type-library marshaler (objects called from another apartment) reads
# the library's path under locale 0 only, and the library is registered under
# its own (409): the client runs with that entry added.
neutral='HKCR\TypeLib\{40F3D442-75C3-4923-A675-2FD15A4969A9}\1.0\0'
reg_again add "$neutral\\win$bits" /ve /d "$(winpath "$dll")" /f >/dev/null || fail "cannot add $neutral"
OANOCACHE=1 CORVANE_SERVER_DLL=$(winpath "$dll") CORVANE_TYPELIB_DUMP=$(winpath "$src/typelib.txt") CORVANE_MEMBERS=$(winpath "$src/members.txt") \
    run "$(winpath "$client")" --gtest_brief=1 || fail "C++ client"
reg delete "$neutral" /f >/dev/null || fail "cannot remove $neutral"
for script in "$src"/*.vbs "$src"/*.js; do
    name=$(basename "$script")
    out=$(run "$sysdir\\cscript.exe" //nologo "$(winpath "$script")")
    echo "$out"
    [[ "$(tail -n 1 <<<"$out")" =~ ^${name}:\ [0-9]+\ passed,\ 0\ failed$ ]] || fail "$name did not finish cleanly"
done

# Examples: each with a text in examples/expected (solve.vbs.txt for a
# script, solve_cpp.txt for the C++ program) must print exactly that text.
examples=$src/../../examples
for expected in "$examples"/expected/*.txt; do
    name=$(basename "$expected" .txt)
    if [[ "$name" == *_cpp ]]; then out=$(run "$(winpath "$example")")
    else out=$(run "$sysdir\\cscript.exe" //nologo "$(winpath "$examples/$name")"); fi
    diff <(printf '%s\n' "$out") "$expected" || fail "example $name printed other text"
done

regsvr /u
expect_entries unregistered
regsvr /u  # again: succeeds with nothing left

# For the current user: the same keys and values as for the machine, under
# HKCU\Software\Classes, and none under the machine's classes. Wine does not
# merge the user's classes into HKEY_CLASSES_ROOT as Windows does: the test
# copies them into the machine's, then a script creates every class.
regsvr /n /i:user
expect_entries unregistered
root='HKCU\Software\Classes'
expect_entries registered
diff <(dump) "$prefix/machine.txt" || fail "the user's entries differ from the machine's"
export_key "$root" "$prefix/user.reg" || fail "cannot export the user's classes"
iconv -f UTF-16 -t UTF-8 "$prefix/user.reg" | sed 's/^\[HKEY_CURRENT_USER\\/[HKEY_LOCAL_MACHINE\\/' |
    iconv -f UTF-8 -t UTF-16 > "$prefix/merged.reg"
reg import "$(winpath "$prefix/merged.reg")" >/dev/null 2>&1 || fail "cannot import the user's classes"
echo 'var g = new ActiveXObject("CorVaneMatrix.Global"), m = new ActiveXObject("CorvaneMatrix30.Matrix");
var c = new ActiveXObject("CorVaneMatrix30.CMatrix"); m.Size(2, 3); c.Size(4, 1);
WScript.Echo(g.CreateMatrix(5, 1).Rows + " " + m.Cols + " " + c.Rows);' > "$prefix/user.js"
[ "$(run "$sysdir\\cscript.exe" //nologo "$(winpath "$prefix/user.js")")" = "5 3 4" ] ||
    fail "classes registered for the user cannot be created"
regsvr /u /n /i:user; regsvr /u /n /i:user  # again: succeeds with nothing left
export_key "$root" "$prefix/user.reg" || fail "cannot export the user's classes"
iconv -f UTF-16 -t UTF-8 "$prefix/user.reg" | tr -d '\r' | grep '^\[' |
    grep -v -E '\\Classes(\\AppID|\\CLSID|\\Interface|\\TypeLib)?\]$' && fail "keys of ours left under $root"
root=HKCR

# Values of other programs under our keys survive unregistration, and their
# keys with them.
regsvr
server_key="CLSID\\{9F8F3BC5-021B-4922-817C-E945C2A15847}\\InprocServer32"
foreign=("$server_key" "AppID\\CorvaneMatrix30.DLL" "CorvaneMatrix30.Matrix")
for key in "${foreign[@]}"; do reg_again add "HKCR\\$key" /v Foreign /d kept /f >/dev/null || fail "cannot add a value to $key"; done
regsvr /u
for key in "${foreign[@]}"; do expect_value "$key" Foreign kept; done
reg query "HKCR\\$server_key" /v ThreadingModel >/dev/null 2>&1 && fail "ThreadingModel left beside a foreign value"
reg query "HKCR\\AppID\\CorvaneMatrix30.DLL" /v AppID >/dev/null 2>&1 && fail "AppID value left beside a foreign value"
expect_absent "CorvaneMatrix30.Matrix\\CLSID"
expect_absent "CorVaneMatrix30.CMatrix"

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
[ "$failures" -eq 0 ] || { echo "server tests ($bits-bit): $failures failure(s)"; exit 1; }
echo "server tests ($bits-bit): all passed"
