#!/usr/bin/env bash
# torvenka.exe under wine, through its window: the title screen is pixel for
# pixel the Linux desktop's (the compositor's picture, which pagecheck draws)
# and the word turns yellow under the pointer; a left click on it starts the
# dive and a right-button drag up opens a tank; a second copy ends with 0
# without a window while the first's is up; the window's close ends the game
# with 0. Without dat/ (the program alone in a folder) the game plays
# silently. At 192 DPI (wine's LogPixels) the client area is twice the size,
# every game pixel a 2 x 2 block.
#
#   tests/windows/window_test.sh WINDOWS_BUILD_DIR WINE_DIR PAGECHECK
. "$(dirname "$0")/lib.sh" "$@"

log "the title screen, the Linux desktop's pixels"
start_game
find_window "$GAME_PID"
[ "$WIN_W" -eq "$CLIENT_W" ] && [ "$WIN_H" -eq "$CLIENT_H" ] ||
  fail "client area is ${WIN_W}x$WIN_H, not ${CLIENT_W}x$CLIENT_H"
[ "$(caption "$WIN")" = "$CAPTION_title" ] || fail "caption is '$(caption "$WIN")', not '$CAPTION_title'"
wait_until 5 title_in "$WHITE" || fail "title screen not drawn"
"$E2E_FACTS" title "$E2E_TMP/title.ppm"
# The PPM's three header lines, then its pixels, one "r g b" a line as snap
# writes them.
tail -n +4 "$E2E_TMP/title.ppm" | od -An -tu1 -v -w3 >"$E2E_TMP/title.txt"
snap
differing=$(paste -d'|' "$SNAP" "$E2E_TMP/title.txt" | awk -F'|' '$1 != $2 { k++ } END { print k + 0 }')
[ "$differing" -eq 0 ] || fail "$differing pixels of the title screen differ from the Linux desktop's"
log "title screen: 0 of $((CLIENT_W * CLIENT_H)) pixels differ"

log "a second copy, while the first's window is up, ends with 0 without a window"
FIRST=$GAME_PID
FIRST_WIN=$WIN
start_game
SECOND=$GAME_PID
wait_exit "$SECOND" 10 || fail "the second copy still runs after 10 s"
[ "$EXIT_CODE" -eq 0 ] || fail "the second copy ended with $EXIT_CODE"
[ "$(all_game_windows | wc -l)" -eq 1 ] || fail "$(all_game_windows | wc -l) game windows, not 1"
alive "$FIRST" || fail "the first copy ended"
GAME_PID=$FIRST WIN=$FIRST_WIN

log "the word lights up under the pointer; a left click on it starts the dive"
start_dive
log "a right-button drag up opens a tank"
wait_until 8 row_laid || fail "no row of cards in the dive"
snap
before=$(tank_gauge)
[ -n "$before" ] || fail "no tank value at ${BOX_tanksValue[0]},${BOX_tanksValue[1]}"
right_drag "${SWIPE_tank[@]}"
wait_until 2 tank_opened "$before" || fail "the tank value did not change after a drag up"

log "the window's close ends the game with 0"
close_and_expect_0 "$WIN" "$GAME_PID"

log "the program alone in a folder, no dat/ anywhere: the dive plays, silently"
mkdir "$E2E_TMP/alone"
cp "$TORVENKA_EXE" "$E2E_TMP/alone/"
TORVENKA_EXE=$E2E_TMP/alone/torvenka.exe
xdo mousemove 0 0
start_game "$E2E_TMP/alone"
find_window "$GAME_PID"
wait_until 5 title_in "$WHITE" || fail "no title screen without dat/"
start_dive
wait_until 8 row_laid || fail "no row of cards without dat/"
alive "$GAME_PID" || fail "the game ended without dat/"
close_and_expect_0 "$WIN" "$GAME_PID"
stderr_quiet "$GAME_ERR" || fail "the game wrote to stderr without dat/: $(head -3 "$GAME_ERR")"

log "at 192 DPI: a client area of twice the size, in 2 x 2 blocks"
wine_reg_set 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 192
xdo mousemove 0 0
E2E_SCALE=2
start_game
find_window "$GAME_PID"
[ "$WIN_W" -eq $((2 * CLIENT_W)) ] && [ "$WIN_H" -eq $((2 * CLIENT_H)) ] ||
  fail "client area at 192 DPI is ${WIN_W}x$WIN_H, not $((2 * CLIENT_W))x$((2 * CLIENT_H))"
wait_until 5 title_in "$WHITE" || fail "no title screen at 192 DPI"
[ "$SNAP_MIXED" -eq 0 ] || fail "$SNAP_MIXED game pixels at 192 DPI are not one colour"
start_dive
[ "$SNAP_MIXED" -eq 0 ] || fail "$SNAP_MIXED game pixels of the dive at 192 DPI are not one colour"
close_and_expect_0 "$WIN" "$GAME_PID"
log "ok"
