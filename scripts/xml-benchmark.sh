#!/usr/bin/env bash
# XML parse benchmark: VLXmlDocument (Windows build, under Wine) against
# pugixml (native, g++ -O2) on the same generated 5 MB and 50 MB UTF-16
# documents, both pinned to the same processor. Prints the figures and the
# ratio. Needs Debian's libpugixml-dev and g++ (the native side only).
#   scripts/xml-benchmark.sh [build-dir] [cpu]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-${VL_BUILD_DIR:-$root/build}}")"
cpu="${2:-0}"
rounds="${VL_BENCH_ROUNDS:-3}"

if ! dpkg-query -W -f='${Status}' libpugixml-dev 2>/dev/null | grep -q "ok installed"; then
  echo "xml-benchmark: installing libpugixml-dev and g++ for the native comparison"
  SUDO=""; if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends libpugixml-dev g++ >/dev/null
fi

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target XmlBenchmark -j2 >/dev/null
bench="$build/bench"
mkdir -p "$bench"
g++ -O2 -std=c++17 "$root/tools/XmlBenchmark/XmlBenchPugi.cpp" -lpugixml -o "$bench/XmlBenchPugi"

state="$build/wine"
# A wineserver left running from an earlier setup makes setup complain; harmless.
"$root/scripts/wine-prefix.sh" setup "$state" >/dev/null 2>&1 || true
trap '"$root/scripts/wine-prefix.sh" cleanup "$state" >/dev/null 2>&1 || true' EXIT

# The Windows program writes the documents it measured; pugixml reads those.
winbench="Z:$(echo "$bench" | tr / '\\')"
ours="$bench/ours.txt"; theirs="$bench/pugixml.txt"
: >"$ours"; : >"$theirs"
for ((i = 1; i <= rounds; i++)); do
  taskset -c "$cpu" "$root/scripts/wine-run.sh" "$state" "$build/tools/XmlBenchmark/XmlBenchmark.exe" "$winbench" \
    | tr -d '\r' | tee -a "$ours"
  taskset -c "$cpu" "$bench/XmlBenchPugi" "$bench/bench-5mb.xml" "$bench/bench-50mb.xml" | tee -a "$theirs"
done

# Best throughput per document size over the rounds, and the ratio.
best() { grep -E "$2" "$1" | sed -E 's/.* = ([0-9]+) MB\/s.*/\1/' | sort -n | tail -1; }
echo
echo "Best of $rounds rounds on processor $cpu (MB/s of UTF-16 text):"
for size in 5MB 50MB; do
  pattern="vlxml $size:"; ppattern="bench-$(echo "$size" | tr 'MB' 'mb')\.xml"
  a="$(best "$ours" "$pattern")"; b="$(best "$theirs" "$ppattern")"
  awk -v s="$size" -v a="$a" -v b="$b" 'BEGIN { printf "  %-5s VLXmlDocument %5d   pugixml %5d   ratio %.2f\n", s, a, b, a / b }'
done
grep "vlxml 50MB" "$ours" | sed -E 's/.*index ([0-9.]+) bytes\/element.*/  index: \1 bytes per element (50 MB document)/' | head -1
first="$(grep "vlxml 50MB" "$ours" | sed -E 's/.*Group\/Type ([0-9.]+) ms.*/\1/' | sort -g | head -1)"
last="$(grep "vlxml 50MB" "$ours" | sed -E 's/.*Last\/Item ([0-9.]+) ms.*/\1/' | sort -g | head -1)"
echo "  query /*/Group/Type (first group): $first ms; /*/Last/Item (after every group): $last ms (50 MB document)"
