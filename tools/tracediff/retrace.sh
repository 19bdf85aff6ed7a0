#!/usr/bin/env bash
# Records the golden traces (tests/traces) again with the working tree's game,
# sets the rules' identity (src/record/rules_identity.h) to the new traces'
# hash, and prints for each trace what moved against the game of a base commit
# (HEAD unless named): the first line that moved and its fields, every field
# that moved with the number of lines it moved on, and whether the dive ends
# the same. The summary, on stdout, is ready for the commit message.
#
#   tools/tracediff/retrace.sh [BUILD_DIR [BASE_COMMIT]]
#   cmake --build build --target retrace      (the same, for build/ and HEAD)
#
# The base commit is built from its files in BUILD_DIR/retrace/base (so the
# compiler cache serves what the two share); full traces of both runs stay in
# BUILD_DIR/retrace/{before,after} for tracediff.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
base=${2:-HEAD}
jobs=${TORVENKA_JOBS:-$(nproc)}
work=$build/retrace
golden=Trace.GoldenTracesReplayByteForByte

rm -rf "$work/before" "$work/after" "$work/base/src" "$work/base/tests" "$work/base/tools"
mkdir -p "$work/before" "$work/after" "$work/base"
git -C "$root" archive "$base" | tar -x -C "$work/base"
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
echo "retrace: building $(git -C "$root" rev-parse --short "$base")'s game in $work/base/build" >&2
cmake -S "$work/base" -B "$work/base/build" -DCMAKE_BUILD_TYPE="${build_type:-Release}" >"$work/base.log" 2>&1
cmake --build "$work/base/build" --target torvenka_tests -j"$jobs" >>"$work/base.log" 2>&1 ||
  { tail -30 "$work/base.log" >&2; exit 1; }
echo "retrace: building the working tree's game" >&2
cmake --build "$build" --target torvenka_tests tracediff -j"$jobs" >"$work/after.log" 2>&1 ||
  { tail -30 "$work/after.log" >&2; exit 1; }

TORVENKA_TRACE_DIR="$work/before" "$work/base/build/tests/torvenka_tests" --gtest_filter="$golden" \
  >>"$work/base.log" 2>&1 || { echo "retrace: the base's own traces do not pass ($work/base.log)" >&2; exit 1; }
TORVENKA_UPDATE_TRACES=1 TORVENKA_TRACE_DIR="$work/after" "$build/tests/torvenka_tests" --gtest_filter="$golden" \
  >>"$work/after.log" 2>&1 || { echo "retrace: recording failed ($work/after.log)" >&2; exit 1; }

# The records name the rules by the traces' hash, which the record test names.
identity=$("$build/tests/torvenka_tests" --gtest_filter=Trace.RecordedDivesPlayBackToTheSameLines 2>&1 |
  sed -n 's/.*kRulesIdentity (record\/rules_identity.h) is now 0x\([0-9a-f]*\).*/\1/p' | head -1 || true)
if [ -n "$identity" ]; then
  sed -i "s/kRulesIdentity = 0x[0-9a-f]*u;/kRulesIdentity = 0x${identity}u;/" "$root/src/record/rules_identity.h"
  echo "retrace: the rules' identity is now 0x$identity" >&2
  cmake --build "$build" --target torvenka_tests -j"$jobs" >>"$work/after.log" 2>&1
fi
"$build/tests/torvenka_tests" --gtest_filter='Trace.*' >>"$work/after.log" 2>&1 ||
  { echo "retrace: the trace tests fail after recording ($work/after.log)" >&2; exit 1; }

echo "Golden traces recorded again (tools/tracediff/retrace.sh); against $(git -C "$root" rev-parse --short "$base"):"
[ -n "$identity" ] && echo "the rules' identity is now 0x$identity"
for after in "$work"/after/*.full; do
  name=$(basename "$after" .full)
  "$build/tracediff" --summary "$name" "$work/before/$name.full" "$after" || true
done
