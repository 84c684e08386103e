#!/usr/bin/env bash
# run_server_tests.sh 32|64 dll client.exe source-dir prefix-dir
# In a fresh Wine prefix: registers the DLL with regsvr32 and reads the
# registry back, runs the C++ client and the VBScript and JScript tests through
# the script host (each must print its closing tally line), then unregisters
# and checks what is removed and what stays.
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
query() { run "$sysdir\\reg.exe" query "$@"; }
expect_value() {  # key value-name (empty: the default value) data (*x: ends with x)
    local out data option=(/ve)
    [ -n "$2" ] && option=(/v "$2")
    out=$(query "HKCR\\$1" "${option[@]}" 2>/dev/null) || { fail "missing $1 [$2]"; return; }
    data=$(awk -F'    ' 'NF >= 4 { print $4; exit }' <<<"$out")
    [[ "$data" == $3 ]] || fail "$1 [$2] is '$data', not '$3'"
}
expect_absent() { query "HKCR\\$1" >/dev/null 2>&1 && fail "$1 still present"; }
expect_key() { query "HKCR\\$1" >/dev/null 2>&1 || fail "$1 missing"; }

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix"
wine_prefix_ready >/dev/null || { echo "cannot create the Wine prefix $prefix"; exit 1; }

run "$sysdir\\regsvr32.exe" /s "$(winpath "$dll")" || fail "regsvr32 returned $?"

# What registration writes: key | value name | data, per class with %P%, %V%,
# %F% and %C% its ProgID, version-independent ProgID, friendly name and class
# id, %A% the AppID.
appid='{40F3D442-75C3-4923-A675-2FD15A4969A9}'
classes=("CorVaneMatrix.Global Global {842BAD45-38F6-4DC3-92D1-C442CBB98E43}"
         "CorvaneMatrix30.Matrix Matrix {9F8F3BC5-021B-4922-817C-E945C2A15847}"
         "CorVaneMatrix30.CMatrix CMatrix {6D3AC9AB-561C-47C4-BBA9-EA1AEE111830}")
class_rows='%P%||%F%
%P%\CLSID||%C%
%V%||%F%
%V%\CLSID||%C%
%V%\CurVer||%P%
CLSID\%C%||%F%
CLSID\%C%|AppID|%A%
CLSID\%C%\ProgID||%P%
CLSID\%C%\VersionIndependentProgID||%V%
CLSID\%C%\InprocServer32||*\CorvaneMatrix30.dll
CLSID\%C%\InprocServer32|ThreadingModel|apartment
CLSID\%C%\TypeLib||%A%'
module_rows="AppID\\$appid||CorvaneMatrix30
AppID\\CorvaneMatrix30.DLL|AppID|$appid
TypeLib\\$appid\\1.0||Corvane Tessaral 3.0
TypeLib\\$appid\\1.0\\409\\win$bits||*\\CorvaneMatrix30.dll
TypeLib\\$appid\\1.0\\HELPDIR||*\\server"
for iid in ICMatrix:0802EF48-C5B8-4D04-82C7-E15CF3958703 IMatrix:6553D4ED-B70D-41FB-BAE5-01A5545337AD \
           IGlobal:E71022C8-F634-4CA6-B833-C9BC41C8C5C7; do  # dual interfaces marshaled from the type library
    module_rows+=$'\n'"Interface\\{${iid#*:}}||${iid%:*}"
    module_rows+=$'\n'"Interface\\{${iid#*:}}\\ProxyStubClsid32||{00020424-0000-0000-C000-000000000046}"
done
while IFS='|' read -r key name data; do expect_value "$key" "$name" "$data"; done <<<"$module_rows"
for row in "${classes[@]}"; do
    read -r vi friendly clsid <<<"$row"
    while IFS='|' read -r key name data; do
        subst() { local s=${1//%P%/$vi.1}; s=${s//%V%/$vi}; s=${s//%F%/$friendly Object}; s=${s//%C%/$clsid}; echo "${s//%A%/$appid}"; }
        expect_value "$(subst "$key")" "$name" "$(subst "$data")"
    done <<<"$class_rows"
    expect_key "CLSID\\$clsid\\Programmable"
done

# The C++ client, then the scripts: each prints "<name>: <n> passed, 0 failed" last.
CORVANE_SERVER_DLL=$(winpath "$dll") CORVANE_TYPELIB_DUMP=$(winpath "$src/typelib.txt") CORVANE_MEMBERS=$(winpath "$src/members.txt") \
    run "$(winpath "$client")" --gtest_brief=1 || fail "C++ client"
for script in "$src"/*.vbs "$src"/*.js; do
    name=$(basename "$script")
    out=$(run "$sysdir\\cscript.exe" //nologo "$(winpath "$script")")
    echo "$out"
    [[ "$(tail -n 1 <<<"$out")" =~ ^${name}:\ [0-9]+\ passed,\ 0\ failed$ ]] || fail "$name did not finish cleanly"
done

# Unregistration: class, ProgID, AppID and type-library keys go; CLSID and AppID stay.
run "$sysdir\\regsvr32.exe" /s /u "$(winpath "$dll")" || fail "regsvr32 /u returned $?"
for row in "${classes[@]}"; do
    read -r vi friendly clsid <<<"$row"
    expect_absent "$vi.1"
    expect_absent "$vi"
    expect_absent "CLSID\\$clsid"
done
expect_absent "AppID\\$appid"
expect_absent "AppID\\CorvaneMatrix30.DLL"
expect_absent "TypeLib\\$appid"
expect_key "CLSID"
expect_key "AppID"

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
if [ "$failures" -ne 0 ]; then
    echo "server tests ($bits-bit): $failures failure(s)"
    exit 1
fi
echo "server tests ($bits-bit): all passed"
