#!/usr/bin/env bash
# One copy at a time: a second copy started while the first runs leaves at
# once, silently and with 0, and the first plays on undisturbed, whatever the
# second's environment (no XDG_RUNTIME_DIR, another HOME, `env -i` but for
# the test's own lock place; lock_test.cpp holds the usual place to the same
# environments); once the
# first is killed outright (SIGKILL, no clean-up), a new copy starts
# normally, and closing it on its title screen ends it with 0.
. "$(dirname "$0")/lib.sh" "$1"

start_game
FIRST=$GAME_PID
find_window "$FIRST"
wait_until 5 title_in "$WHITE" || fail "title screen not drawn"
pointer_to "${AT_start[@]}"
wait_until 2 title_in "$YELLOW" || fail "the title word does not light up"

log "a second copy ends at once with 0 and shows nothing"
start_game
SECOND=$GAME_PID
wait_exit "$SECOND" 5 || fail "the second copy is still running after 5 s"
[ "$EXIT_CODE" -eq 0 ] || fail "the second copy ended with $EXIT_CODE"
[ ! -s "$GAME_ERR" ] || fail "the second copy wrote to stderr: $(head -3 "$GAME_ERR")"
[ "$(all_game_windows | wc -l)" -eq 1 ] || fail "$(all_game_windows | wc -l) game windows, not 1"

log "so does one started without XDG_RUNTIME_DIR and with another HOME, and one under env -i"
mkdir -p "$E2E_TMP/elsewhere"
(cd "$PROJECT_DIR" && exec env -u XDG_RUNTIME_DIR HOME="$E2E_TMP/elsewhere" "$GAME") 2>"$E2E_TMP/bare.err" &
BARE=$!
E2E_PIDS+=("$BARE")
wait_exit "$BARE" 5 || fail "the copy without XDG_RUNTIME_DIR is still running after 5 s"
[ "$EXIT_CODE" -eq 0 ] || fail "the copy without XDG_RUNTIME_DIR ended with $EXIT_CODE"
[ ! -s "$E2E_TMP/bare.err" ] || fail "it wrote to stderr: $(head -3 "$E2E_TMP/bare.err")"
(cd "$PROJECT_DIR" && exec env -i DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy TORVENKA_LOCK_DIR="$TORVENKA_LOCK_DIR" "$GAME") 2>"$E2E_TMP/bare.err" &
BARE=$!
E2E_PIDS+=("$BARE")
wait_exit "$BARE" 5 || fail "the copy under env -i is still running after 5 s"
[ "$EXIT_CODE" -eq 0 ] || fail "the copy under env -i ended with $EXIT_CODE"
[ "$(all_game_windows | wc -l)" -eq 1 ] || fail "$(all_game_windows | wc -l) game windows, not 1"

log "the first copy is undisturbed"
alive "$FIRST" || fail "the first copy died"
title_in "$YELLOW" || fail "the first copy's screen changed"
xdo mousedown 1 mouseup 1
wait_until 3 dive_shown || fail "the first copy does not start its dive"

log "after SIGKILL of the first copy a new copy starts normally"
kill -KILL "$FIRST"
wait_exit "$FIRST" 5 || fail "SIGKILL did not end the first copy"
xdo mousemove 0 0  # not over the new window's title word
start_game
THIRD=$GAME_PID
find_window "$THIRD"
wait_until 5 title_in "$WHITE" || fail "the new copy shows no title screen"
alive "$THIRD" || fail "the new copy ended"
[ "$(all_game_windows | wc -l)" -eq 1 ] || fail "$(all_game_windows | wc -l) game windows, not 1"

log "closing it on the title screen ends it with 0"
close_and_expect_0 "$WIN" "$THIRD"
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"
log "ok"
