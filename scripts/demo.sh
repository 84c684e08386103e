#!/usr/bin/env bash
# Builds the 32-bit automation server, registers it in a fresh Wine prefix and
# runs the VBScript demonstration (examples/demo.vbs) through the script host.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target CorvaneMatrix30 -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
export WINEPREFIX="$root/build/demo-wineprefix"
source "$root/scripts/wine-env.sh"
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
wine_prefix_ready >/dev/null
winpath() { echo "Z:${1//\//\\}"; }
"$WINE32" 'C:\windows\syswow64\regsvr32.exe' /s "$(winpath "$root/build/win32/server/CorvaneMatrix30.dll")"
"$WINE32" 'C:\windows\syswow64\cscript.exe' //nologo "$(winpath "$root/examples/demo.vbs")" 2>/dev/null | tr -d '\r'
