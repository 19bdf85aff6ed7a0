#!/usr/bin/env bash
# Plays a dive's file with the desktop game to its GAME OVER, for the browser
# scenarios that hold a dive saved by the page to the desktop:
#
#   E2E_REPLAY_FILE=FILE bash tests/e2e/replay_file.sh build/torvenka
#
# The game is run with --replay FILE in an X server of its own; once the
# GAME OVER picture stands alone, the window is closed, and the game must end
# with 0 and not a word: it then held the replay's last state to the
# record's (else one line on stderr and 1). Not a test of its own (no
# _test.sh): the file comes from the page.
. "$(dirname "$0")/lib.sh" "$1"
[ -s "${E2E_REPLAY_FILE:-}" ] || fail "no dive's file in E2E_REPLAY_FILE"
E2E_GAME_ARGS="--replay $E2E_REPLAY_FILE" start_game
find_window "$GAME_PID"
wait_until 5 dive_shown || fail "the replay did not start its dive: $(cat "$GAME_ERR")"
log "the dive's file plays"
wait_until 90 game_over_shown || fail "the replay never came to GAME OVER: $(cat "$GAME_ERR")"
close_window "$WIN"
wait_exit "$GAME_PID" 5 || fail "the replay still runs 5 s after its window was closed"
[ "$EXIT_CODE" -eq 0 ] && [ ! -s "$GAME_ERR" ] || fail "the replay ended with $EXIT_CODE: $(cat "$GAME_ERR")"
log "ok: GAME OVER, and the last state is the record's"
