# Sourced by the scripts that run Windows programs: one project-local Wine
# prefix, no debug chatter, no Mono/Gecko installers, no display needed.
: "${CORVANE_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="${WINEPREFIX:-$CORVANE_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
unset DISPLAY
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || true)
WINE32=$(command -v wine || true)

# Creates the prefix once; later calls return at once.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        wineserver -w 2>/dev/null || true
    fi
    [ -f "$WINEPREFIX/system.reg" ]
}
