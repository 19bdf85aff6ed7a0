#!/usr/bin/env bash
# The command line: --help and --version answer without a display and
# without the single-instance lock, and report a write that fails; a wrong
# option or value is one line of what is wrong and the usage line on
# stderr, with exit code 2. So is a lock place (TORVENKA_LOCK_DIR) that is
# not a folder of the user's own that no one else may write to, and two
# spellings of one folder are one lock. A dive to watch again that cannot be
# played is one line, exit code 1, and no window.
. "$(dirname "$0")/lib.sh" "$1"

USAGE='usage: torvenka [--scale N] [--replay FILE|last] | --help | --version'

# run_cli NAME ARGS...: run the game without a display; sets OUT, ERR, CODE.
run_cli() {
  local name=$1
  shift
  OUT=$E2E_TMP/$name.out ERR=$E2E_TMP/$name.err
  CODE=0
  (unset DISPLAY WAYLAND_DISPLAY; exec timeout 5 "$GAME" "$@") >"$OUT" 2>"$ERR" || CODE=$?
}

log "--help: usage, the options and a line on the game, on stdout"
run_cli help --help
[ "$CODE" -eq 0 ] || fail "--help ended with $CODE"
[ "$(head -1 "$OUT")" = "$USAGE" ] || fail "--help starts with '$(head -1 "$OUT")'"
for opt in --scale --replay --help --version; do grep -q -- "^  $opt" "$OUT" || fail "--help does not list $opt"; done
grep -qi diver "$OUT" || fail "--help says nothing of the game"
grep -q TORVENKA_LOCK_DIR "$OUT" || fail "--help does not name TORVENKA_LOCK_DIR"
[ ! -s "$ERR" ] || fail "--help wrote to stderr: $(head -2 "$ERR")"

log "--version: name and version"
run_cli version --version
[ "$CODE" -eq 0 ] || fail "--version ended with $CODE"
grep -qxE 'torvenka [0-9]+\.[0-9]+\.[0-9]+' "$OUT" || fail "--version printed '$(cat "$OUT")'"

log "--help and --version on a full disk: a line on stderr and a non-zero exit"
for opt in --help --version; do
  CODE=0
  (unset DISPLAY WAYLAND_DISPLAY; exec timeout 5 "$GAME" "$opt") >/dev/full 2>"$E2E_TMP/full.err" || CODE=$?
  [ "$CODE" -ne 0 ] || fail "$opt > /dev/full ended with 0"
  grep -q "^torvenka: " "$E2E_TMP/full.err" || fail "$opt > /dev/full said nothing on stderr"
done

log "wrong options and values: exit 2, what is wrong and the usage line"
for args in "--scale 0" "--scale 9" "--scale two" "--scale" "--scale=" "--fullscreen" "dive" "--replay"; do
  # shellcheck disable=SC2086
  run_cli bad $args
  [ "$CODE" -eq 2 ] || fail "'$args' ended with $CODE, not 2"
  [ "$(wc -l <"$ERR")" -eq 2 ] || fail "'$args': $(wc -l <"$ERR") lines on stderr, not 2"
  [ "$(sed -n 2p "$ERR")" = "$USAGE" ] || fail "'$args': no usage line: $(cat "$ERR")"
  grep -q "^torvenka: " "$ERR" || fail "'$args': the first line does not name the game"
  [ ! -s "$OUT" ] || fail "'$args' wrote to stdout"
done

log "--replay of what cannot be played: one line, exit 1, no window"
printf 'seed 777\n0 move - 90 100\n' >"$E2E_TMP/text.replay"
: >"$E2E_TMP/empty.tvk"
head -c 3000000 /dev/zero >"$E2E_TMP/large.tvk"
for pair in "last|no dive has been kept yet" "$E2E_TMP/none.tvk|cannot open $E2E_TMP/none.tvk: No such file or directory" \
  "$E2E_TMP|$E2E_TMP is not a file" "$E2E_TMP/text.replay|this is not a Torvenka replay" \
  "$E2E_TMP/empty.tvk|the replay is empty" "$E2E_TMP/large.tvk|the replay is too large to be a dive"; do
  run_cli replay --replay "${pair%%|*}"
  [ "$CODE" -eq 1 ] || fail "--replay ${pair%%|*} ended with $CODE, not 1"
  [ "$(cat "$ERR")" = "torvenka: ${pair#*|}" ] || fail "--replay ${pair%%|*} said: $(cat "$ERR")"
  [ ! -s "$OUT" ] || fail "--replay ${pair%%|*} wrote to stdout"
done

log "a lock place that is no folder of the user's alone: one line and exit 2, no window"
touch "$E2E_TMP/a-file"
mkdir -m 770 "$E2E_TMP/shared"
places=(/tmp "$E2E_TMP/missing" "$E2E_TMP/missing/../lock" "$E2E_TMP/a-file" "$E2E_TMP/shared")
mkdir -m 700 "$E2E_TMP/theirs"
if chown nobody "$E2E_TMP/theirs" 2>/dev/null; then
  places+=("$E2E_TMP/theirs")
else
  log "(not root: another user's folder is not tried)"
fi
for place in "${places[@]}"; do
  ERR=$E2E_TMP/place.err CODE=0
  (exec env TORVENKA_LOCK_DIR="$place" timeout 10 "$GAME") >"$E2E_TMP/place.out" 2>"$ERR" || CODE=$?
  [ "$CODE" -eq 2 ] || fail "TORVENKA_LOCK_DIR=$place: exit code $CODE, not 2"
  [ "$(wc -l <"$ERR")" -eq 1 ] || fail "TORVENKA_LOCK_DIR=$place: $(wc -l <"$ERR") lines on stderr, not 1"
  grep -qF "torvenka: TORVENKA_LOCK_DIR=$place: " "$ERR" || fail "TORVENKA_LOCK_DIR=$place: stderr says '$(cat "$ERR")'"
  log "  $(cat "$ERR")"
done

log "with a copy running, --version still answers: it takes no lock"
start_game
find_window "$GAME_PID"
(exec timeout 5 "$GAME" --version) >"$E2E_TMP/v.out" 2>&1 || fail "--version failed beside a running copy"
grep -qxE 'torvenka [0-9.]+' "$E2E_TMP/v.out" || fail "--version beside a running copy printed '$(cat "$E2E_TMP/v.out")'"

log "the running copy's lock place spelt another way is the same lock: a second copy leaves"
ln -s "$TORVENKA_LOCK_DIR" "$E2E_TMP/link"
for place in "$TORVENKA_LOCK_DIR/." "$E2E_TMP/shared/../lock" "$E2E_TMP/link"; do
  CODE=0
  (cd "$PROJECT_DIR" && exec env TORVENKA_LOCK_DIR="$place" timeout 10 "$GAME") 2>"$E2E_TMP/again.err" || CODE=$?
  [ "$CODE" -eq 0 ] || fail "TORVENKA_LOCK_DIR=$place beside a running copy: exit code $CODE ($(head -1 "$E2E_TMP/again.err"))"
  [ "$(all_game_windows | wc -l)" -eq 1 ] || fail "TORVENKA_LOCK_DIR=$place: a second copy ran"
done
close_and_expect_0 "$WIN" "$GAME_PID"
log "ok"
