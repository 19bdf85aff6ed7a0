#!/usr/bin/env bash
# The desktop's sound panel lists the game's sound as "Torvenka", not under
# SDL's generic name: played into a sound server of the test's own (a
# PulseAudio with a null sink), the game's stream carries the game's name.
# When the server goes away in the middle of the dive, with the music
# playing, the game plays on silently: the next row of cards comes, nothing
# is written to stderr and closing the window ends it with 0.
. "$(dirname "$0")/lib.sh" "$1"

private_pulse

export SDL_AUDIODRIVER=pulseaudio
start_game
find_window "$GAME_PID"
stream_named() { pactl list sink-inputs 2>/dev/null | grep -q 'application.name = "Torvenka"'; }
wait_until 5 stream_named || fail "no stream named Torvenka: $(pactl list sink-inputs | grep -E 'name =')"
pactl list sink-inputs | grep -q 'media.name = "Torvenka"' || fail "the stream's own name is not Torvenka"
log "the sound panel shows: $(pactl list sink-inputs | grep -E 'application.name|media.name' | tr -s ' \t' ' ')"

start_dive
kill -KILL "$PA_PID"
log "the sound server is gone, the dive theme playing"
wait_until 8 row_laid || fail "no row of cards after the sound server went away"
alive "$GAME_PID" || fail "the game ended with its sound server"
close_and_expect_0 "$WIN" "$GAME_PID"
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"
log "ok"
