# lintian on the Debian package: no error and no warning. Its info and
# pedantic notes are shown but do not fail the test.
set -uo pipefail
. "$(dirname "$0")/lib.sh" "$@"

command -v lintian >/dev/null || { fail "lintian is not installed (scripts/deps.sh lists it)"; finish; }
build_deb

# lintian refuses to run as root unless told it may (CI runs as root).
opts=(--display-info --pedantic --fail-on error,warning)
[ "$(id -u)" -eq 0 ] && opts+=(--allow-root)
lintian "${opts[@]}" "$DEB" >"$SCRATCH/lintian.log" 2>&1
status=$?
cat "$SCRATCH/lintian.log"
grep -E '^[EW]: ' "$SCRATCH/lintian.log" >&2 && fail "lintian reports errors or warnings"
[ "$status" -eq 0 ] || fail "lintian exited with status $status"

finish
