#!/usr/bin/env bash
# Builds a tiny Windows program for each target and runs it under Wine; fails
# unless both the 32-bit and the 64-bit program really ran.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
dir="$CORVANE_ROOT/build/wine-selftest"
mkdir -p "$dir"
cat >"$dir/hello.c" <<'C'
#include <stdio.h>
int main(void) { printf("wine-ok %d\n", (int)(sizeof(void *) * 8)); return 0; }
C
i686-w64-mingw32-gcc -O1 -o "$dir/hello32.exe" "$dir/hello.c"
x86_64-w64-mingw32-gcc -O1 -o "$dir/hello64.exe" "$dir/hello.c"
[ -n "$WINE64" ] && [ -n "$WINE32" ] || { echo "wine-selftest: wine or wine64 missing" >&2; exit 1; }
wine_prefix_ready || { echo "wine-selftest: could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }
out32=$("$WINE32" "$dir/hello32.exe" 2>/dev/null | tr -d '\r')
out64=$("$WINE64" "$dir/hello64.exe" 2>/dev/null | tr -d '\r')
[ "$out32" = "wine-ok 32" ] || { echo "wine-selftest: 32-bit program did not run (got '$out32')" >&2; exit 1; }
[ "$out64" = "wine-ok 64" ] || { echo "wine-selftest: 64-bit program did not run (got '$out64')" >&2; exit 1; }
echo "wine-selftest: 32-bit and 64-bit Windows programs run under Wine"
