#!/usr/bin/env bash
# Runs a Windows program in the build tree's private prefix.
#   wine-run.sh <state-dir> <program.exe> [arguments...]
# Output goes through a file: Wine's helper processes inherit the program's
# descriptors and outlive it, and a caller reading a pipe (ctest) would wait
# for them.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh" "$1"
shift
out="$(mktemp "$VL_STATE_DIR/run.XXXXXX")"
"$VL_WINE" "$@" </dev/null >"$out" 2>&1
rc=$?
# A failure with no output at all means the program never started (seen
# once under load: the launcher gave up in 10 ms); start it once more. A
# program that ran always writes something, so its failures are kept.
if [ $rc -ne 0 ] && [ ! -s "$out" ]; then
  echo "wine-run: $1 ended with $rc before writing anything; starting it again" >"$out"
  "$VL_WINE" "$@" </dev/null >>"$out" 2>&1
  rc=$?
fi
cat "$out"
rm -f "$out"
exit $rc
