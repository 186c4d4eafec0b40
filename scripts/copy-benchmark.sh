#!/usr/bin/env bash
# The silent install's copy of "Quenbox\" through the copy page against two
# floors (tools/CopyPageBenchmark). Builds the program, runs it under Wine in
# a prefix of its own (<build>/wine-bench) and prints the figures.
#   scripts/copy-benchmark.sh [build-dir] [rounds]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-${VL_BUILD_DIR:-$root/build}}")"
rounds="${2:-3}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target CopyPageBenchmark vl_tools_module Setup -j2 >/dev/null
state="$build/wine-bench"
"$root/scripts/wine-prefix.sh" setup "$state" >/dev/null 2>&1 || true
trap '"$root/scripts/wine-prefix.sh" cleanup "$state" >/dev/null 2>&1 || true' EXIT
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
"$root/scripts/wine-run.sh" "$state" "$build/tools/CopyPageBenchmark/CopyPageBenchmark.exe" \
  "$(winpath "$build/ProductModules/NuvicoreTools.dll")" \
  "$(winpath "$root/scripts/sample-package/Quenbox/Product.ini")" "$rounds" \
  "$(winpath "$build/Install/App/Setup.exe")" | tr -d '\r'
