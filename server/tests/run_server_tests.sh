#!/usr/bin/env bash
# run_server_tests.sh 32|64 dll client.exe source-dir prefix-dir
# In a fresh Wine prefix: registers the DLL with regsvr32 and checks the
# registry, runs the C++ client and the VBScript and JScript tests through the
# script host (each must print its closing tally line), then unregisters and
# checks what is removed and what stays.
set -uo pipefail
bits=$1 dll=$2 client=$3 src=$4 prefix=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../scripts/wine-env.sh"
export WINEPREFIX=$prefix
case "$bits" in
  32) loader=$WINE32; sysdir='C:\windows\syswow64' ;;
  64) loader=$WINE64; sysdir='C:\windows\system32' ;;
esac
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }
run() { "$loader" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix"
wine_prefix_ready >/dev/null || { echo "cannot create the Wine prefix $prefix"; exit 1; }

run "$sysdir\\regsvr32.exe" /s "$(winpath "$dll")" || fail "regsvr32 returned $?"

query() { run "$sysdir\\reg.exe" query "$@"; }
expect_value() {  # key value-name expected-data
    local out
    out=$(query "HKCR\\$1" /v "$2" 2>/dev/null) || { fail "missing $1 [$2]"; return; }
    grep -qF -- "$3" <<<"$out" || fail "$1 [$2] is not '$3': $out"
}
expect_default() {
    local out
    out=$(query "HKCR\\$1" /ve 2>/dev/null) || { fail "missing $1"; return; }
    grep -qF -- "$2" <<<"$out" || fail "$1 default is not '$2': $out"
}
expect_absent() { query "HKCR\\$1" >/dev/null 2>&1 && fail "$1 still present"; }
expect_key() { query "HKCR\\$1" >/dev/null 2>&1 || fail "$1 missing"; }

appid='{40F3D442-75C3-4923-A675-2FD15A4969A9}'
classes=("Global {842BAD45-38F6-4DC3-92D1-C442CBB98E43} CorVaneMatrix.Global Global"
         "Matrix {9F8F3BC5-021B-4922-817C-E945C2A15847} CorvaneMatrix30.Matrix Matrix"
         "CMatrix {6D3AC9AB-561C-47C4-BBA9-EA1AEE111830} CorVaneMatrix30.CMatrix CMatrix")
expect_default "AppID\\$appid" "CorvaneMatrix30"
expect_value "AppID\\CorvaneMatrix30.DLL" AppID "$appid"
for row in "${classes[@]}"; do
    read -r name clsid vi friendly <<<"$row"
    expect_default "$vi.1" "$friendly Object"
    expect_default "$vi.1\\CLSID" "$clsid"
    expect_default "$vi" "$friendly Object"
    expect_default "$vi\\CLSID" "$clsid"
    expect_default "$vi\\CurVer" "$vi.1"
    expect_default "CLSID\\$clsid" "$friendly Object"
    expect_value "CLSID\\$clsid" AppID "$appid"
    expect_default "CLSID\\$clsid\\ProgID" "$vi.1"
    expect_default "CLSID\\$clsid\\VersionIndependentProgID" "$vi"
    expect_key "CLSID\\$clsid\\Programmable"
    expect_default "CLSID\\$clsid\\InprocServer32" "CorvaneMatrix30.dll"
    expect_value "CLSID\\$clsid\\InprocServer32" ThreadingModel "apartment"
    expect_default "CLSID\\$clsid\\TypeLib" "$appid"
done
expect_default "TypeLib\\$appid\\1.0" "Corvane Tessaral 3.0"

# The C++ client.
CORVANE_SERVER_DLL=$(winpath "$dll") run "$(winpath "$client")" --gtest_brief=1 || fail "C++ client"

# Scripts: each prints "<name>: <n> passed, 0 failed" as its last line.
for script in "$src"/*.vbs "$src"/*.js; do
    name=$(basename "$script")
    out=$(run "$sysdir\\cscript.exe" //nologo "$(winpath "$script")")
    echo "$out"
    tally=$(tail -n 1 <<<"$out")
    [[ "$tally" =~ ^${name}:\ [0-9]+\ passed,\ 0\ failed$ ]] || fail "$name did not finish cleanly (last line: '$tally')"
done

# Unregistration: class, ProgID, AppID and type-library keys go; CLSID and AppID stay.
run "$sysdir\\regsvr32.exe" /s /u "$(winpath "$dll")" || fail "regsvr32 /u returned $?"
for row in "${classes[@]}"; do
    read -r name clsid vi friendly <<<"$row"
    expect_absent "$vi.1"
    expect_absent "$vi"
    expect_absent "CLSID\\$clsid"
done
expect_absent "AppID\\$appid"
expect_absent "AppID\\CorvaneMatrix30.DLL"
expect_absent "TypeLib\\$appid"
expect_key "CLSID"
expect_key "AppID"
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
