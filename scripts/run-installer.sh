#!/usr/bin/env bash
# Installs what is missing, builds, lays out the sample package and runs its
# Setup.exe in the build tree's own Wine prefix (build/run). Uses $DISPLAY
# when there is one, otherwise a private Xvfb display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VL_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
state="$build/run"
mkdir -p "$state"
own_display=0
if [ -z "${DISPLAY:-}" ]; then own_display=1; fi
if [ $own_display -eq 1 ]; then
  "$root/scripts/wine-prefix.sh" setup "$state"
else
  # Only the prefix, on the user's own display.
  "$root/scripts/wine-prefix.sh" setup "$state"
  rm -f "$state/display"
fi
trap '"$root/scripts/wine-prefix.sh" cleanup "$state"' EXIT
package="$build/package"
if [ -x "$root/scripts/make-sample-package.sh" ]; then
  "$root/scripts/make-sample-package.sh" "$build" "$package"
fi
if [ -f "$package/Setup.exe" ]; then
  echo "run-installer: running $package/Setup.exe $*"
  "$root/scripts/wine-run.sh" "$state" "$package/Setup.exe" "$@"
else
  echo "run-installer: no Setup.exe built yet; built what exists in $build"
fi
