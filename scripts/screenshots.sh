#!/usr/bin/env bash
# Screenshots of every wizard page at 96 and at 144 DPI, taken on a private
# Xvfb display with ImageMagick's `import -window root`:
#   scripts/screenshots.sh [build-dir]
# Builds what it needs, lays out the sample package, runs Setup.exe in a
# fresh prefix per DPI (build-dir/screenshots-wine) and walks it through its
# pages with WizardScreenshotDriver.exe. Pictures go to
# build-dir/screenshots/<dpi>dpi-<nn>-<page>.png, trimmed to the windows.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="$build/screenshots"
state="$build/screenshots-wine"
package="$build/screenshot-package"

cmake --build "$build" --target Setup vl_tools_module vl_standins WizardScreenshotDriver -j2 >/dev/null
driver="$(find "$build/tools" -name WizardScreenshotDriver.exe | head -n 1)"
rm -rf "$package"
"$root/scripts/make-sample-package.sh" "$build" "$package" >/dev/null
# The sample's copy step is over in well under a second; some 3,000 small
# files more keep the copy page on screen long enough to photograph.
mkdir -p "$package/Quenbox/Screenshot Padding"
for i in $(seq 1 3000); do printf 'padding %d\n' "$i" >"$package/Quenbox/Screenshot Padding/File $i.dat"; done
mkdir -p "$out"
rm -f "$out"/*.png

cleanup() { "$root/scripts/wine-prefix.sh" cleanup "$state" >/dev/null 2>&1 || true; }
trap cleanup EXIT

for dpi in 96 144; do
  cleanup
  rm -rf "$state"
  mkdir -p "$state/handshake"
  "$root/scripts/wine-prefix.sh" setup "$state" >/dev/null
  source "$root/scripts/wine-env.sh" "$state"
  "$VL_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$VL_WINE" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1

  handshake="$state/handshake"
  winhandshake="Z:$(echo "$handshake" | tr '/' '\\')"
  timeout 300 "$root/scripts/wine-run.sh" "$state" "$package/Setup.exe" >/dev/null 2>&1 &
  setup_pid=$!
  timeout 300 "$root/scripts/wine-run.sh" "$state" "$driver" "$winhandshake" &
  driver_pid=$!
  while kill -0 "$driver_pid" 2>/dev/null; do
    if [ -f "$handshake/request" ]; then
      sleep 0.05  # the driver waited for the page to settle
      name="$(cat "$handshake/request")"
      picture="$out/${dpi}dpi-$name.png"
      import -display "$DISPLAY" -window root "$picture"
      convert "$picture" -trim +repage "$picture"
      echo "screenshots: $picture"
      rm -f "$handshake/request"
    fi
    sleep 0.1
  done
  wait "$driver_pid" || echo "screenshots: the page walk at $dpi DPI stopped early" >&2
  # The walk ends at the last page; whatever still runs is stopped with the prefix.
  kill "$setup_pid" 2>/dev/null || true
  cleanup
  wait "$setup_pid" 2>/dev/null || true
done
echo "screenshots: $(ls "$out"/*.png | wc -l) pictures in $out"
