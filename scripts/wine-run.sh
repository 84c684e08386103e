#!/usr/bin/env bash
# wine-run.sh 32|64 program.exe [args...]: runs a Windows program in the
# project's Wine prefix and passes on its exit status and output (CR LF made LF).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
bits=$1; shift
case "$bits" in
  32) loader=$WINE32 ;;
  64) loader=$WINE64 ;;
  *) echo "wine-run: first argument must be 32 or 64" >&2; exit 2 ;;
esac
[ -n "$loader" ] || { echo "wine-run: no Wine loader for $bits-bit programs" >&2; exit 127; }
wine_prefix_ready || { echo "wine-run: no Wine prefix at $WINEPREFIX" >&2; exit 127; }
set +e
"$loader" "$@" | tr -d '\r'
status=${PIPESTATUS[0]}
exit "$status"
