#!/usr/bin/env bash
# The Linux end-to-end scenario of a dive left alone (tests/e2e/gameover_test.sh),
# as it is, with torvenka.exe under wine: GAME OVER comes at its time, within
# the same bounds, and closing the window before or after it ends the game
# with 0.
#
#   tests/windows/gameover_test.sh WINDOWS_BUILD_DIR WINE_DIR PAGECHECK
. "$(dirname "$0")/lib.sh" "$@"
. "$WINDOWS_TESTS/../e2e/gameover_test.sh"
