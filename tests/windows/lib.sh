# Shared helpers of the Windows build's end-to-end tests. Each
# tests/windows/*_test.sh script sources this file with its own arguments:
#
#   . "$(dirname "$0")/lib.sh" WINDOWS_BUILD_DIR WINE_DIR PAGECHECK
#
# WINDOWS_BUILD_DIR is the MinGW-w64 build (build/windows), whose portable
# folder (Torvenka/: torvenka.exe beside dat/) is what the tests play, as a
# player who unpacked the zip would; WINE_DIR keeps the template of the wine
# prefixes (tests/windows/wine.sh); PAGECHECK is the desktop build's, which
# says what the tests need to know of the game.
#
# On top of the Linux end-to-end helpers (tests/e2e/lib.sh: a private X
# server, xdotool's input, pixels read back from the screen), run with the
# game under wine: every test has a Windows of its own (a private wine
# prefix, and so its own wineserver and its own namespace of named objects),
# and the game is torvenka.exe started by wine64 (tests/windows/wine_game).
#
# The Linux scenarios that hold for any front end are run as they are: a
# windows test script may source tests/e2e/<name>_test.sh after this file,
# whose own `. "$(dirname "$0")/lib.sh"` then finds this file, already done.
if [ -n "${WINDOWS_E2E_READY:-}" ]; then
  return 0
fi
set -euo pipefail
WINDOWS_TESTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WINDOWS_BUILD=$(cd "${1:?lib.sh needs the Windows build folder}" && pwd)
WINDOWS_WINE_DIR=${2:?lib.sh needs the folder of the template prefix}
WINDOWS_PAGECHECK=${3:?lib.sh needs pagecheck of the desktop build}
case "$WINDOWS_WINE_DIR" in /*) ;; *) WINDOWS_WINE_DIR=$PWD/$WINDOWS_WINE_DIR ;; esac
case "$WINDOWS_PAGECHECK" in /*) ;; *) WINDOWS_PAGECHECK=$PWD/$WINDOWS_PAGECHECK ;; esac
# wine missing: skipped (77), before any X server is started.
. "$WINDOWS_TESTS/wine.sh" "$WINDOWS_WINE_DIR"

export TORVENKA_EXE=${TORVENKA_EXE:-$WINDOWS_BUILD/Torvenka/torvenka.exe}
[ -f "$TORVENKA_EXE" ] || { echo "FAIL: no $TORVENKA_EXE (cmake --build build --target windows)" >&2; exit 1; }
export WINE64 E2E_FACTS=$WINDOWS_PAGECHECK
# A private X server, as every Linux end-to-end test has, with this script's
# own arguments.
if [ -z "${E2E_PRIVATE_X:-}" ]; then
  E2E_PRIVATE_X=1 exec "$WINDOWS_TESTS/../with_x" --screen 1024x768x24 bash "$0" "$@"
fi
WINDOWS_E2E_READY=1
. "$WINDOWS_TESTS/../e2e/lib.sh" "$WINDOWS_TESTS/wine_game"

# The test's own Windows, gone with the test (its wineserver first, which
# ends the prefix's programs, then the Linux helpers' processes and files).
wine_prefix "$E2E_TMP/prefix"
trap 'wine_cleanup; e2e_cleanup' EXIT
# No sound server unless a test starts one: wine then finds no sound device.
unset PULSE_SERVER

game_windows() { wine_windows "$1"; }
all_game_windows() { xdo search --onlyvisible --name "^$CAPTION_title\$" 2>/dev/null || true; }

# stderr_quiet FILE: nothing in it but what wine and the libraries under it
# say about their own set-up (wine's channels, ALSA finding no sound card).
stderr_quiet() {
  ! grep -v '^[0-9a-f]*:\(err\|fixme\|warn\):\|^wine: \|^ALSA lib ' "$1" | grep -q .
}

# windows_path UNIXPATH: the same file as Windows programs under wine see it.
windows_path() { "$WINE64" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
