# Sourced by the wine scripts: the private prefix of one build tree.
# Usage: source wine-env.sh <state-dir>
VL_STATE_DIR="$(cd "$1" && pwd)"
export WINEPREFIX="$VL_STATE_DIR/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$VL_STATE_DIR/display" ]; then
  export DISPLAY=":$(cat "$VL_STATE_DIR/display")"
fi
# Picks the wine launcher; 64-bit programs only, wine32 is never present.
if command -v wine64 >/dev/null 2>&1; then VL_WINE=wine64; else VL_WINE=wine; fi
if [ -x /usr/lib/wine/wine64 ]; then VL_WINE=/usr/lib/wine/wine64; fi
VL_WINESERVER=wineserver
if [ -x /usr/lib/wine/wineserver64 ]; then VL_WINESERVER=/usr/lib/wine/wineserver64; fi
