#!/usr/bin/env bash
# The headless unit and whole-dive tests, built for Windows, under wine: the
# same GoogleTest binary as on Linux, the golden traces replayed byte for
# byte among them.
#
#   tests/windows/unit_test.sh TORVENKA_TESTS_EXE WINE_DIR [GTEST ARGS...]
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=$1
. tests/windows/wine.sh "$2"
shift 2
[ -f "$exe" ] || { echo "FAIL: no $exe (cmake --build build --target windows)" >&2; exit 1; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/torvenka-wine-unit.XXXXXX")
trap 'wine_cleanup; rm -rf "$tmp"' EXIT
wine_prefix "$tmp/prefix"
status=0
"$WINE64" "$exe" --gtest_brief=1 "$@" >"$tmp/out.txt" 2>&1 || status=$?
cat "$tmp/out.txt"
ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' "$tmp/out.txt")
[ "$status" -eq 0 ] || { echo "FAIL: the tests under wine ended with $status" >&2; exit 1; }
[ "${ran:-0}" -gt 0 ] || { echo "FAIL: no test ran under wine" >&2; exit 1; }
echo "ok: $ran tests under wine"
