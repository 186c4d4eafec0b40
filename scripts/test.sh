#!/usr/bin/env bash
# Builds everything and runs every test under Wine; ends with ctest's summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VL_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j2 "$@"
