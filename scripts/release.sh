#!/usr/bin/env bash
# Builds the 32-bit and 64-bit automation server (presets win32 and win64) and
# packs build/release/CorvaneMatrix30-<version>.zip for Windows users:
# x86/ and x64/ CorvaneMatrix30.dll, docs/reference.md, the host examples,
# include/ (the C++ declarations of the interfaces) and INSTALL.txt.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
version=$(sed -n 's/.*SysAllocString(L"\([0-9.]*\)").*/\1/p' server/version.h)
[ -n "$version" ] || { echo "release: no version in server/version.h" >&2; exit 1; }
jobs=$(nproc 2>/dev/null || echo 2)
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target CorvaneMatrix30 -j "$jobs" >/dev/null
done

name=CorvaneMatrix30-$version
stage=build/release/$name
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage"/{x86,x64,docs,include,examples}
cp build/win32/server/CorvaneMatrix30.dll "$stage/x86/"
cp build/win64/server/CorvaneMatrix30.dll "$stage/x64/"
cp docs/reference.md "$stage/docs/"
cp build/win64/server/generated/CorvaneMatrix30.h build/win64/server/generated/CorvaneMatrix30_i.c "$stage/include/"
cp examples/solve.vbs examples/solve.js examples/solve.cpp examples/demo.vbs examples/excel_module.bas "$stage/examples/"

# Windows line ends for Notepad.
sed 's/$/\r/' > "$stage/INSTALL.txt" <<EOF
CorvaneMatrix30 $version: matrix automation server for VBA/Excel, VB6, VBScript, JScript and C++

Contents
  x86\CorvaneMatrix30.dll   for 32-bit hosts (32-bit Office, C:\Windows\SysWOW64\cscript.exe)
  x64\CorvaneMatrix30.dll   for 64-bit hosts (64-bit Office, the default cscript.exe on 64-bit Windows)
  docs\reference.md         every member with its arguments, defaults and failures
  examples\                 Excel module, VBScript, JScript and C++ examples
  include\                  C++ declarations (CorvaneMatrix30.h, CorvaneMatrix30_i.c)

Which DLL: the one of your host's bitness. In Excel, File > Account > About Excel says
"32-bit" or "64-bit". Both can be registered side by side.

1. Copy the folder to a place that stays, for example
   %LOCALAPPDATA%\CorvaneMatrix30 (just for you) or C:\Program Files\CorvaneMatrix30.
   Registration records the DLL's path: moving it later means registering again.

2. Register, in a Command Prompt opened in that folder.

   Just for you, no administrator needed:
     64-bit host:  regsvr32 /n /i:user x64\CorvaneMatrix30.dll
     32-bit host:  %SystemRoot%\SysWOW64\regsvr32 /n /i:user x86\CorvaneMatrix30.dll

   For every user of the machine (Command Prompt "Run as administrator"):
     64-bit host:  regsvr32 x64\CorvaneMatrix30.dll
     32-bit host:  %SystemRoot%\SysWOW64\regsvr32 x86\CorvaneMatrix30.dll

   (On 32-bit Windows use regsvr32 with the x86 DLL.)

3. Use it: CreateObject("CorvaneMatrix30.Matrix") from VBA, VB6 or VBScript,
   new ActiveXObject("CorvaneMatrix30.Matrix") from JScript. For early binding in VBA,
   Tools > References > "Corvane Tessaral 3.0". See examples\ and docs\reference.md.

Unregister with the same command and /u added:
     regsvr32 /u /n /i:user x64\CorvaneMatrix30.dll     (just for you)
     regsvr32 /u x64\CorvaneMatrix30.dll                (every user; administrator)
EOF

if command -v zip >/dev/null; then
    (cd build/release && zip -q -r -X "$name.zip" "$name")
else
    python3 - "$stage" <<'PY'
import os, sys, zipfile
stage = sys.argv[1]
base = os.path.dirname(stage)
with zipfile.ZipFile(stage + ".zip", "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in os.walk(stage):
        for f in sorted(files):
            path = os.path.join(folder, f)
            z.write(path, os.path.relpath(path, base))
PY
fi
echo "build/release/$name.zip"
