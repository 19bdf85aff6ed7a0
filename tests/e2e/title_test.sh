#!/usr/bin/env bash
# The title screen: the word lights up under the pointer and goes white off
# it, a right click does not start the dive, a left click does; the window
# has the game's size, class and caption, and closing it mid-dive ends the
# game cleanly.
. "$(dirname "$0")/lib.sh" "$1"

start_game
find_window "$GAME_PID"
[ "$WIN_W" -eq "$CLIENT_W" ] && [ "$WIN_H" -eq "$CLIENT_H" ] ||
  fail "client area is ${WIN_W}x$WIN_H, not ${CLIENT_W}x$CLIENT_H"
[ "$(caption "$WIN")" = "$CAPTION_title" ] || fail "caption is '$(caption "$WIN")', not '$CAPTION_title'"
xprop -id "$WIN" WM_CLASS | grep -q "\"$NAME_window_class\"" || fail "window class is not $NAME_window_class"

log "the window carries the octopus icon, pixel for pixel the installed 64 x 64 icon"
ICON_PNG=$(dirname "$GAME")/icons/hicolor/64x64/apps/torvenka.png
[ -f "$ICON_PNG" ] || fail "no installed icon at $ICON_PNG"
x_retry xprop -id "$WIN" -notype -f _NET_WM_ICON 32c '=$0+\n' _NET_WM_ICON | sed 's/^_NET_WM_ICON=//' |
  tr -d ' ' | tr ',' '\n' | sed '/^$/d' >"$E2E_TMP/icon.win"
{ echo 64; echo 64; convert "$ICON_PNG" -depth 8 rgba:- | od -An -tu1 -v -w4 |
  awk '{ printf "%.0f\n", $4 * 16777216 + $1 * 65536 + $2 * 256 + $3 }'; } >"$E2E_TMP/icon.png.txt"
[ "$(wc -l <"$E2E_TMP/icon.win")" -eq 4098 ] || fail "the window's icon is not 64 x 64: $(head -c 80 "$E2E_TMP/icon.win")"
cmp -s "$E2E_TMP/icon.win" "$E2E_TMP/icon.png.txt" || fail "the window's icon is not the installed icon"

log "black window with the white title word and its red shadow"
wait_until 5 title_in "$WHITE" || fail "title screen not drawn: $(count_not 0 0 194 215 "$BLACK") lit pixels"

log "hover: yellow; off onto the black background: white again"
pointer_to "${AT_start[@]}"
wait_until 2 title_in "$YELLOW" || fail "the title word stays white under the pointer"
pointer_to 95 140
wait_until 2 title_in "$WHITE" || fail "the title word stays yellow off the pointer"
# Back onto the word and out past its right edge onto the background.
pointer_to "${AT_start[@]}"
wait_until 2 title_in "$YELLOW" || fail "the title word does not light up a second time"
pointer_to 150 100
wait_until 2 title_in "$WHITE" || fail "the title word stays yellow after leaving to the right"

log "a right click on the word does not start the dive"
right_click_at "${AT_start[@]}"
# The pointer's events are handled in their order: once the word is white
# again, the right click has been handled too.
pointer_to 150 100
wait_until 2 title_in "$WHITE" || fail "the title screen changed after a right click"
pointer_to "${AT_start[@]}"
wait_until 2 title_in "$YELLOW" || fail "the title word does not light up after the right click"

log "a left click starts the dive: the sea and the gauges"
xdo mousedown 1 mouseup 1
wait_until 3 dive_shown || fail "no sea and gauges after the start click"
# The word is gone (the sea is behind where it stood, no white glyph there).
[ "$(count_colour "${TITLE_BOX[@]}" "$YELLOW")" -eq 0 ] || fail "the title word is still shown"
# The gauges read 命：200 酸素：.. ボンベ：9: value labels drawn right of the captions.
[ "$(count_colour 24 164 20 12 "$WHITE")" -ge 15 ] || fail "no life value at 24,164"
[ "$(count_colour 43 194 10 12 "$WHITE")" -ge 5 ] || fail "no tank value at 43,194"

log "the sea scrolls"
first=$(box_dump 0 0 194 40 | md5sum)
sea_moved() { snap; [ "$(box_dump 0 0 194 40 | md5sum)" != "$first" ]; }
wait_until 2 sea_moved || fail "the sea does not move"

log "closing the window mid-dive ends the game with 0"
close_and_expect_0 "$WIN" "$GAME_PID"
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"
log "ok"
