#!/usr/bin/env bash
# run_server_tests.sh 32|64 dll client.exe source-dir prefix-dir
# In a fresh Wine prefix: registers the DLL with regsvr32 and reads the
# registry back (registry.txt), runs the C++ client and the VBScript and
# JScript tests (each must print its closing tally line), then unregisters and
# checks what is removed and what stays. OANOCACHE: strings are freed at once,
# so that the client can count the blocks a call keeps.
set -uo pipefail
bits=$1 dll=$2 client=$3 src=$4 prefix=$5
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
query() { run "$sysdir\\reg.exe" query "$@"; }
expect_value() {  # key value-name (empty: the default value) data (a pattern)
    local out option=(/ve)
    [ -n "$2" ] && option=(/v "$2")
    out=$(query "HKCR\\$1" "${option[@]}" 2>/dev/null) || { fail "missing $1 [$2]"; return; }
    out=$(awk -F'    ' 'NF >= 4 { print $4; exit }' <<<"$out")
    [[ "$out" == $3 ]] || fail "$1 [$2] is '$out', not '$3'"
}
expect_absent() { query "HKCR\\$1" >/dev/null 2>&1 && fail "$1 still present"; }
expect_key() { query "HKCR\\$1" >/dev/null 2>&1 || fail "$1 missing"; }
entries() { grep -v '^#' "$src/registry.txt" | sed "s/%BITS%/$bits/"; }

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix"
wine_prefix_ready >/dev/null || { echo "cannot create the Wine prefix $prefix"; exit 1; }

run "$sysdir\\regsvr32.exe" /s "$(winpath "$dll")" || fail "regsvr32 returned $?"
while IFS='|' read -r key name data after; do
    if [ "$name" = - ]; then expect_key "$key"; else expect_value "$key" "$name" "$data"; fi
done < <(entries)

# Wine 8's type-library marshaler (objects called from another apartment) reads
# the library's path under locale 0 only, and the library is registered under
# its own (409): the client runs with that entry added.
neutral='HKCR\TypeLib\{40F3D442-75C3-4923-A675-2FD15A4969A9}\1.0\0'
run "$sysdir\\reg.exe" add "$neutral\\win$bits" /ve /d "$(winpath "$dll")" /f >/dev/null || fail "cannot add $neutral"
OANOCACHE=1 CORVANE_SERVER_DLL=$(winpath "$dll") CORVANE_TYPELIB_DUMP=$(winpath "$src/typelib.txt") CORVANE_MEMBERS=$(winpath "$src/members.txt") \
    run "$(winpath "$client")" --gtest_brief=1 || fail "C++ client"
run "$sysdir\\reg.exe" delete "$neutral" /f >/dev/null || fail "cannot remove $neutral"
for script in "$src"/*.vbs "$src"/*.js; do
    name=$(basename "$script")
    out=$(run "$sysdir\\cscript.exe" //nologo "$(winpath "$script")")
    echo "$out"
    [[ "$(tail -n 1 <<<"$out")" =~ ^${name}:\ [0-9]+\ passed,\ 0\ failed$ ]] || fail "$name did not finish cleanly"
done

# Examples: each script with a text in examples/expected must print exactly that text.
examples=$src/../../examples
for expected in "$examples"/expected/*.txt; do
    script=$examples/$(basename "$expected" .txt)
    out=$(run "$sysdir\\cscript.exe" //nologo "$(winpath "$script")")
    diff <(printf '%s\n' "$out") "$expected" || fail "$(basename "$script") printed other text"
done

run "$sysdir\\regsvr32.exe" /s /u "$(winpath "$dll")" || fail "regsvr32 /u returned $?"
while IFS='|' read -r key name data after; do
    if [ "$after" = gone ]; then expect_absent "$key"; elif [ "$after" = kept ]; then expect_key "$key"; fi
done < <(entries)
# Unregistering again succeeds with nothing left; values of other programs
# under our keys survive unregistration, and their keys with them.
run "$sysdir\\regsvr32.exe" /s /u "$(winpath "$dll")" || fail "second regsvr32 /u returned $?"
run "$sysdir\\regsvr32.exe" /s "$(winpath "$dll")" || fail "regsvr32 after unregistering returned $?"
server_key="CLSID\\{9F8F3BC5-021B-4922-817C-E945C2A15847}\\InprocServer32"
for key in "$server_key" "AppID\\CorvaneMatrix30.DLL" "CorvaneMatrix30.Matrix"; do
    run "$sysdir\\reg.exe" add "HKCR\\$key" /v Foreign /d kept /f >/dev/null || fail "cannot add a value to $key"
done
run "$sysdir\\regsvr32.exe" /s /u "$(winpath "$dll")" || fail "regsvr32 /u beside foreign values returned $?"
for key in "$server_key" "AppID\\CorvaneMatrix30.DLL" "CorvaneMatrix30.Matrix"; do expect_value "$key" Foreign kept; done
query "HKCR\\$server_key" /v ThreadingModel >/dev/null 2>&1 && fail "ThreadingModel left beside a foreign value"
query "HKCR\\AppID\\CorvaneMatrix30.DLL" /v AppID >/dev/null 2>&1 && fail "AppID value left beside a foreign value"
expect_absent "CorvaneMatrix30.Matrix\\CLSID"
expect_absent "CorVaneMatrix30.CMatrix"

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
if [ "$failures" -ne 0 ]; then
    echo "server tests ($bits-bit): $failures failure(s)"
    exit 1
fi
echo "server tests ($bits-bit): all passed"
