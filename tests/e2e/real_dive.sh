#!/usr/bin/env bash
# A dive played on the desktop game by real input, kept as the game keeps
# its dives, for the browser scenario that plays it in the page:
#
#   E2E_DIVE_OUT=FILE bash tests/e2e/real_dive.sh build/torvenka
#
# In an X server of its own, with a lock and a state folder of its own: the
# start click, the middle card of the first row turned (the white spear), a
# horizontal right-button swipe that swings the spear to cyan, a vertical one
# that opens a tank, then nothing until GAME OVER. The window is closed there,
# the game must end with 0, and the one dive it kept is copied to FILE. Not a
# test of its own (no _test.sh): the page plays what it keeps.
. "$(dirname "$0")/lib.sh" "$1"
[ -n "${E2E_DIVE_OUT:-}" ] || fail "no file to copy the dive to in E2E_DIVE_OUT"

# The spear in COLOUR: its box holds at least 40 pixels of it.
spear_in() {
  snap
  [ "$(count_colour "${BOX_spearWhite[@]}" "$1")" -ge 40 ]
}

start_game
find_window "$GAME_PID"
wait_until 5 title_in "$WHITE" || fail "title screen not drawn"
start_dive
wait_until 8 row_laid || fail "no row of cards"
left_press_at "${AT_card2[@]}"
left_release
wait_until 2 spear_in "$WHITE" || fail "no white spear after turning the middle card"
right_drag 40 140 120 140
wait_until 2 spear_in "$CYAN" || fail "the spear did not swing to cyan"
snap
before=$(tank_gauge)
right_drag "${SWIPE_tank[@]}"
wait_until 2 tank_opened "$before" || fail "the vertical swipe opened no tank"
xdo mousemove 0 0
log "played by hand: a card, the spear, a tank; now until GAME OVER"
wait_until 90 game_over_shown || fail "the dive never came to GAME OVER"
close_and_expect_0 "$WIN" "$GAME_PID"
kept=("$XDG_STATE_HOME"/torvenka/dive-*.tvk)
[ "${#kept[@]}" -eq 1 ] && [ -s "${kept[0]}" ] || fail "kept after the dive: ${kept[*]}"
cp "${kept[0]}" "$E2E_DIVE_OUT"
log "ok: the dive kept, $(stat -c %s "$E2E_DIVE_OUT") bytes"
