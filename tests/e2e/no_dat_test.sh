#!/usr/bin/env bash
# The sound files are the only files the game reads. Started in an empty
# folder (no dat/ at all), with an audio device open behind SDL so that
# every sound is really attempted, the game plays exactly as usual, silently: the
# title, the start click (effect and music), the first row of cards, a tank;
# nothing is written to stderr and closing the window ends it with 0.
. "$(dirname "$0")/lib.sh" "$1"

export SDL_AUDIODRIVER=dummy
empty=$(mktemp -d "$E2E_TMP/empty.XXXXXX")

start_game "$empty"
find_window "$GAME_PID"
wait_until 5 title_in "$WHITE" || fail "no title screen without dat/"
start_dive
t0=$(now_ms)

log "the first row of cards, a card turned, a tank used"
wait_until 8 row_laid || fail "no row of cards without dat/"
log "row seen $(($(now_ms) - t0)) ms after the start click"
left_press_at 35 100
left_release
snap
[ "$(count_colour 10 65 50 10 "$WHITE")" -ge 300 ] || fail "the left card did not rise when turned"
snap
before=$(tank_gauge)
right_drag "${SWIPE_tank[@]}"
wait_until 2 tank_opened "$before" || fail "no tank used without dat/"
alive "$GAME_PID" || fail "the game ended"

log "closing the window ends the game with 0, nothing on stderr"
close_and_expect_0 "$WIN" "$GAME_PID"
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"
[ -z "$(ls "$empty")" ] || fail "the game left files in its folder: $(ls "$empty")"
log "ok"
