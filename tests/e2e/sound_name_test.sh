#!/usr/bin/env bash
# The game's sound, whatever the sound system does. The desktop's sound panel
# lists the game's sound as "Torvenka", not under SDL's generic name: played
# into a sound server of the test's own (a PulseAudio with a null sink), the
# game's stream carries the game's name. When the server goes away in the
# middle of the dive, with the music playing, the game plays on silently:
# the next row of cards comes, nothing is written to stderr and closing the
# window ends it with 0. A server that stops answering (SIGSTOP) in the
# middle of a dive does not keep the game from closing: it ends with 0
# within 2 s, and a new copy starts at once; with the server stopped before
# the start, the window still comes within a second, the game closes as
# quickly, and its sound comes once the server answers again. With no sound
# device at all (ALSA and no card), closing the window a few seconds into a
# dive ends the game with 0 and no X error, 20 times in a row while two busy
# programs keep the processors full (on a quiet machine the fault that made
# it exit 1 hides).
. "$(dirname "$0")/lib.sh" "$1"

# closed_within MS: close the window and expect exit 0 within MS real
# milliseconds (waiting five times as long before calling it hung).
closed_within() {
  local t0 took
  t0=$(now_ms)
  close_window "$WIN"
  wait_exit "$GAME_PID" $((5 * $1 / 1000)) || fail "the game still runs 5 times $1 ms after its window was closed"
  took=$(($(now_ms) - t0))
  [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after closing the window"
  log "closed, exit code 0 after $took ms"
  [ "$took" -le "$1" ]
}

export SDL_AUDIODRIVER=pulseaudio
private_pulse
start_game
find_window "$GAME_PID"
stream_named() { pactl list sink-inputs 2>/dev/null | grep -qF "application.name = \"$NAME_game\""; }
wait_until 5 stream_named || fail "no stream named $NAME_game: $(pactl list sink-inputs | grep -E 'name =')"
pactl list sink-inputs | grep -qF "media.name = \"$NAME_game\"" || fail "the stream's own name is not $NAME_game"
log "the sound panel shows: $(pactl list sink-inputs | grep -E 'application.name|media.name' | tr -s ' \t' ' ')"

start_dive
kill -KILL "$PA_PID"
log "the sound server is gone, the dive theme playing"
wait_until 8 row_laid || fail "no row of cards after the sound server went away"
alive "$GAME_PID" || fail "the game ended with its sound server"
close_and_expect_0 "$WIN" "$GAME_PID"
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"

# A real-time bound: a busy machine may miss it now and then, so each case
# gets three tries, each one printed.
frozen_mid_dive() {
  private_pulse
  xdo mousemove 0 0
  start_game
  find_window "$GAME_PID"
  wait_until 5 stream_named || fail "the game's stream never reached the sound server"
  start_dive
  kill -STOP "$PA_PID"
  log "the sound server is stopped, the dive theme playing"
  wait_until 8 row_laid || fail "no row of cards with the sound server stopped"
  closed_within 2000
}
frozen_at_start() {
  local t0 took
  xdo mousemove 0 0
  t0=$(now_ms)
  start_game
  find_window "$GAME_PID"
  took=$(($(now_ms) - t0))
  log "with the sound server stopped, the window came $took ms after the start"
  wait_until 5 title_in "$WHITE" || fail "no title screen with the sound server stopped"
  start_dive
  closed_within 2000 && [ "$took" -le 1000 ]
}
for try in 1 2 3; do
  log "try $try: the sound server stops answering in the middle of a dive"
  frozen_mid_dive "$try" && break
  [ "$try" -lt 3 ] || fail "the game took more than 2 s to close with its sound server stopped"
done
for try in 1 2 3; do
  log "try $try: a new copy starts while the sound server stays stopped"
  frozen_at_start && break
  [ "$try" -lt 3 ] || fail "with the sound server stopped, the window came late or the game was slow to close"
done
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"

log "a copy started while the server is stopped gets its sound once the server answers"
xdo mousemove 0 0
start_game
find_window "$GAME_PID"
wait_until 5 title_in "$WHITE" || fail "no title screen with the sound server stopped"
kill -CONT "$PA_PID"
wait_until 10 stream_named || fail "no stream from the game once its sound server answered again"
# What the null sink plays, from the start click on: the effect and the
# dive theme, not silence.
parec -d quiet.monitor --raw --format=s16le --channels=2 --rate=44100 >"$E2E_TMP/heard.raw" &
E2E_PIDS+=($!)
start_dive
heard_enough() { [ "$(stat -c %s "$E2E_TMP/heard.raw")" -ge 352800 ]; }  # two seconds
wait_until 8 heard_enough || fail "the sink's monitor gave no sound to listen to"
loud=$(od -An -v -td2 -w2 "$E2E_TMP/heard.raw" | awk '$1 > 1000 || $1 < -1000 { k++ } END { print k + 0 }')
log "$loud samples louder than 1000 in the first seconds of the dive"
[ "$loud" -ge 1000 ] || fail "the game that got its sound device late is silent in the dive"
close_and_expect_0 "$WIN" "$GAME_PID"
[ ! -s "$GAME_ERR" ] || fail "the game wrote to stderr: $(head -3 "$GAME_ERR")"

log "no sound device: ALSA without a card, 20 closes with both processors busy"
export SDL_AUDIODRIVER=alsa
unset PULSE_SERVER PULSE_RUNTIME_PATH
# Two busy loops of this shell's own (so that the clean-up's kill ends
# them), each ending by itself after ten minutes at most.
for i in 1 2; do
  (until [ "$SECONDS" -ge 600 ]; do :; done) &
  E2E_PIDS+=($!)
done
for i in $(seq 1 20); do
  xdo mousemove 0 0
  start_game
  find_window "$GAME_PID"
  wait_until 5 title_in "$WHITE" || fail "run $i: no title screen"
  start_dive
  wait_until 8 row_laid || fail "run $i: no row of cards"
  close_window "$WIN"
  wait_exit "$GAME_PID" 5 || fail "run $i: the game still runs after its window was closed"
  [ "$EXIT_CODE" -eq 0 ] || fail "run $i: exit code $EXIT_CODE after closing: $(head -2 "$GAME_ERR")"
  [ ! -s "$GAME_ERR" ] || fail "run $i: the game wrote to stderr: $(head -3 "$GAME_ERR")"
done
log "20 closes, each with exit code 0 and nothing on stderr"
log "ok"
