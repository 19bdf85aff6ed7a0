#!/usr/bin/env bash
# A dive left alone: the diver runs out of oxygen and then of life, the
# black curtain rises over the sea, and half a second after it is up the
# GAME OVER picture appears on the black; the caption stays "Torvenka" and
# closing the window then ends the game with 0. Two copies play, one after
# the other (one user runs one copy at a time): A is watched to the end; B is
# closed during the half second before its picture and must end with 0 as
# well.
. "$(dirname "$0")/lib.sh" "$1"

# The curtain has started: the bottom rows are plain black, the top not yet.
curtain_rising() {
  snap
  [ "$(count_not 0 200 "$CLIENT_W" 15 "$BLACK")" -eq 0 ] && [ "$(count_not 0 0 "$CLIENT_W" 20 "$BLACK")" -gt 0 ]
}

log "copy A: dive started"
start_game
PID_A=$GAME_PID
find_window "$PID_A"
wait_until 5 title_in "$WHITE" || fail "copy A: no title screen"
start_dive
t_a=$(now_ms)

log "copy A: the curtain, then GAME OVER on black"
wait_until 40 curtain_rising || fail "copy A: no curtain within 40 s of diving"
t_rise=$WAIT_FOUND_AT
not_up_at=$WAIT_FOUND_BEGAN  # the screenshot that saw it rising was taken after this
dead_after=$((t_rise - t_a))
log "copy A: curtain rising $dead_after ms into the dive"
[ "$dead_after" -ge 10000 ] && [ "$dead_after" -le 30000 ] || fail "the diver died after $dead_after ms, not 10-30 s"
wait_until 8 all_black || fail "copy A: the curtain never covered the window"
t_up=$WAIT_FOUND_AT
not_up_at=${WAIT_MISSED_AT:-$not_up_at}
rise=$((t_up - t_rise))
log "copy A: curtain up after $rise ms"
[ "$rise" -ge 2000 ] && [ "$rise" -le 6000 ] || fail "the curtain took $rise ms to rise, not about 3.3 s"
wait_until 4 game_over_shown || fail "copy A: no GAME OVER picture after the curtain"
# The picture came at most this long after the curtain was up: the curtain
# was not up when not_up_at's screenshot began, the picture was there when
# the last one ended.
wait_over=$((WAIT_FOUND_AT - not_up_at))
log "copy A: GAME OVER at most $wait_over ms after the curtain was up (seen $((WAIT_FOUND_AT - t_up)) ms after)"
[ "$wait_over" -ge 350 ] || fail "GAME OVER came $wait_over ms after the curtain, sooner than half a second"
[ "$(caption "$WIN")" = "$CAPTION_title" ] || fail "caption after the game over is '$(caption "$WIN")'"

log "copy A: the picture stays, and the mouse changes nothing"
right_drag "${SWIPE_tank[@]}"
left_click_at "${AT_start[@]}"
sleep 0.3
game_over_shown || fail "the GAME OVER screen changed"
[ "$(caption "$WIN")" = "$CAPTION_title" ] || fail "caption changed after the game over"

log "closing the window after the game over ends the game with 0"
close_and_expect_0 "$WIN" "$PID_A"

log "copy B: dive started, and closed as soon as its curtain is up"
xdo mousemove 0 0
start_game
PID_B=$GAME_PID
find_window "$PID_B"
wait_until 5 title_in "$WHITE" || fail "copy B: no title screen"
start_dive
wait_until 40 curtain_rising || fail "copy B: no curtain within 40 s of diving"
wait_until 8 all_black || fail "copy B: the curtain never covered the window"
game_over_shown && fail "copy B: GAME OVER already shown when the curtain was up"
close_window "$WIN"
wait_exit "$PID_B" 5 || fail "copy B still runs after its window was closed during the game-over wait"
[ "$EXIT_CODE" -eq 0 ] || fail "copy B: exit code $EXIT_CODE when closed during the game-over wait"
log "copy B: closed during the wait, exit code 0"
log "ok"
