#!/usr/bin/env bash
# Scaled windows for high-density screens: with --scale 2, and with the
# desktop's Xft.dpi at 192 and no option, the client area is 388 x 430 and
# every one of its pixels is a 2 x 2 block of the frame the game shows at
# scale 1. Hovering and clicking the scaled title word starts the dive, and a
# scaled swipe moves the spear as an unscaled one does. It changes the X
# server's resources, which no other test sees: each has a server of its own.
. "$(dirname "$0")/lib.sh" "$1"

spear_in() {
  snap
  [ "$(count_colour "${BOX_spearWhite[@]}" "$1")" -ge 40 ]
}
row_shown() {
  snap
  [ "$(count_colour 71 75 50 51 "$WHITE")" -ge 1200 ]
}
# The title screen in COLOUR, read at the current scale into FILE.
title_snap() {
  wait_until 5 title_in "$1" || fail "no title screen in $1 at scale $E2E_SCALE"
  awk '{ print $1, $2, $3 }' "$SNAP" >"$2"
}
# A copy of the game at the current scale: its window must be N times the
# client area, and its title screen the scale-1 one in N x N blocks.
check_scaled_title() {
  xdo mousemove 0 0
  start_game
  find_window "$GAME_PID"
  [ "$WIN_W" -eq $((CLIENT_W * E2E_SCALE)) ] && [ "$WIN_H" -eq $((CLIENT_H * E2E_SCALE)) ] ||
    fail "client area is ${WIN_W}x$WIN_H at scale $E2E_SCALE"
  title_snap "$WHITE" "$E2E_TMP/scaled-white.txt"
  [ "$SNAP_MIXED" -eq 0 ] || fail "$SNAP_MIXED blocks are not one colour"
  cmp -s "$E2E_TMP/scaled-white.txt" "$E2E_TMP/one-white.txt" || fail "the scaled title screen is not the scale-1 one"
}

log "scale 1: the frame to compare with"
start_game
find_window "$GAME_PID"
[ "$WIN_W" -eq "$CLIENT_W" ] && [ "$WIN_H" -eq "$CLIENT_H" ] || fail "client area is ${WIN_W}x$WIN_H at scale 1"
title_snap "$WHITE" "$E2E_TMP/one-white.txt"
pointer_to "${AT_start[@]}"
title_snap "$YELLOW" "$E2E_TMP/one-yellow.txt"
close_and_expect_0 "$WIN" "$GAME_PID"

log "--scale 2: 388 x 430 of 2 x 2 blocks"
E2E_SCALE=2 E2E_GAME_ARGS="--scale 2"
check_scaled_title

log "hovering the scaled title word lights it up, as at scale 1"
pointer_to "${AT_start[@]}"
title_snap "$YELLOW" "$E2E_TMP/scaled-yellow.txt"
cmp -s "$E2E_TMP/scaled-yellow.txt" "$E2E_TMP/one-yellow.txt" || fail "the lit title word differs from scale 1"
pointer_to 95 140
wait_until 2 title_in "$WHITE" || fail "the title word stays yellow off the pointer"

log "clicking it starts the dive"
pointer_to "${AT_start[@]}"
xdo mousedown 1 mouseup 1
wait_until 3 dive_shown || fail "no sea and gauges after the scaled start click"
[ "$SNAP_MIXED" -eq 0 ] || fail "$SNAP_MIXED blocks of the dive are not one colour"

log "the spear card, then a scaled swipe to the right: the spear turns cyan"
wait_until 8 row_shown || fail "no row of cards"
left_press_at "${AT_card2[@]}"
wait_until 2 spear_in "$WHITE" || fail "no white spear after turning the middle card"
left_release
right_drag 40 150 120 150
wait_until 2 spear_in "$CYAN" || fail "the spear did not turn cyan after a scaled swipe to the right"
right_drag 120 140 40 140
wait_until 2 spear_in "$WHITE" || fail "a scaled swipe to the left did not bring the spear back to white"
close_and_expect_0 "$WIN" "$GAME_PID"

log "the desktop at 192 dpi (Xft.dpi) and no option: scale 2"
echo "Xft.dpi: 192" | xrdb -nocpp -merge
E2E_SCALE=2 E2E_GAME_ARGS=""
check_scaled_title
close_and_expect_0 "$WIN" "$GAME_PID"

log "--scale 1 overrides the desktop"
E2E_SCALE=1 E2E_GAME_ARGS="--scale 1"
check_scaled_title
close_and_expect_0 "$WIN" "$GAME_PID"
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"
log "ok"
