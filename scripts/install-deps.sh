#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the installer.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  cmake make
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev
  googletest
  wine wine64
  xvfb xauth imagemagick
  fonts-dejavu-core
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update
# wine32 is never installed: this machine cannot run 32-bit executables and
# the package breaks the wine launcher.
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "ok installed"; then
  echo "install-deps: wine32 is installed; remove it (apt-get remove wine32)" >&2
  exit 1
fi
