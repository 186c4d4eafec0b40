#!/usr/bin/env bash
# Starts and stops the test environment of one build tree: a private Wine
# prefix (created on first use) and an Xvfb display for window tests.
#   wine-prefix.sh setup <state-dir>
#   wine-prefix.sh cleanup <state-dir>
set -euo pipefail
cmd="$1"; mkdir -p "$2"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh" "$2"

start_xvfb() {
  if [ -f "$VL_STATE_DIR/xvfb.pid" ] && kill -0 "$(cat "$VL_STATE_DIR/xvfb.pid")" 2>/dev/null; then
    return
  fi
  rm -f "$VL_STATE_DIR/display"
  # -displayfd picks a free display number, so two checkouts never clash.
  exec 3>"$VL_STATE_DIR/display.tmp"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! >"$VL_STATE_DIR/xvfb.pid"
  exec 3>&-
  for _ in $(seq 1 100); do
    if [ -s "$VL_STATE_DIR/display.tmp" ]; then break; fi
    sleep 0.1
  done
  tr -d '\n' <"$VL_STATE_DIR/display.tmp" >"$VL_STATE_DIR/display"
  rm -f "$VL_STATE_DIR/display.tmp"
  export DISPLAY=":$(cat "$VL_STATE_DIR/display")"
}

case "$cmd" in
  setup)
    start_xvfb
    if [ ! -f "$WINEPREFIX/.vl-ready" ]; then
      rm -rf "$WINEPREFIX"
      "$VL_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
      "$VL_WINESERVER" -w
      if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-prefix: wineboot did not create $WINEPREFIX" >&2
        exit 1
      fi
      touch "$WINEPREFIX/.vl-ready"
    fi
    # One persistent wineserver for the whole run keeps each test start quick.
    # Detached from our output, or ctest would wait for the pipe to close.
    # An earlier run left running (no cleanup) is fine: keep using it.
    setsid "$VL_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    # No window manager runs on the private display: windows are unmanaged, so
    # Wine draws their frames and does not wait for a manager to map them
    # (about two seconds per shown window otherwise).
    if [ ! -f "$WINEPREFIX/.vl-unmanaged" ]; then
      "$VL_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
      touch "$WINEPREFIX/.vl-unmanaged"
    fi
    echo "wine-prefix: $WINEPREFIX on display $DISPLAY"
    ;;
  cleanup)
    "$VL_WINESERVER" -k 2>/dev/null || true
    "$VL_WINESERVER" -w 2>/dev/null || true
    if [ -f "$VL_STATE_DIR/xvfb.pid" ]; then
      kill "$(cat "$VL_STATE_DIR/xvfb.pid")" 2>/dev/null || true
      rm -f "$VL_STATE_DIR/xvfb.pid" "$VL_STATE_DIR/display"
    fi
    ;;
  *) echo "usage: $0 setup|cleanup <state-dir>" >&2; exit 2 ;;
esac
