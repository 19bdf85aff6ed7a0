# Shared helpers of the end-to-end tests. Each test script sources this file
# with the game binary as its first argument:
#
#   . "$(dirname "$0")/lib.sh" "$1"
#
# The game is driven only through real X input (xdotool's XTest events) and
# watched only from outside: pixels read back from the X server, the window's
# name property and the process's exit code.
#
# A test runs in a private X server of its own (tests/with_x starts it, and
# lib.sh runs the test there). Every test gets a private XDG_RUNTIME_DIR, a
# single-instance lock of its own (TORVENKA_LOCK_DIR) and silent audio
# unless told otherwise.

set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
PROJECT_DIR=$(cd "$E2E_DIR/../.." && pwd)
GAME=${1:-${GAME:-$PROJECT_DIR/build/torvenka}}
case "$GAME" in /*) ;; *) GAME=$PWD/$GAME ;; esac
if [ ! -x "$GAME" ]; then
  echo "e2e: no game binary at $GAME" >&2
  exit 1
fi

# Every test has an X server of its own (tests/with_x): the tests move the
# pointer and read pixels back, so they must not share one, and they run side
# by side.
if [ -z "${E2E_PRIVATE_X:-}" ]; then
  E2E_PRIVATE_X=1 exec "$PROJECT_DIR/tests/with_x" --screen 1024x768x24 bash "$0" "$GAME"
fi

# What the tests need to know of the game comes from the game: pagecheck,
# built beside it, says it (tests/e2e/facts.sh lists the facts).
E2E_FACTS=${E2E_FACTS:-$(dirname "$GAME")/pagecheck}
. "$PROJECT_DIR/tests/e2e/facts.sh"
read_game_facts "$E2E_FACTS"

# With E2E_SCALE=N the game is expected to draw every game pixel as an N x N
# block: pointer positions and pixels read back are still given in game
# pixels, and every snap checks that each block is one colour. E2E_GAME_ARGS
# are passed to the game.
E2E_SCALE=${E2E_SCALE:-1}
E2E_GAME_ARGS=${E2E_GAME_ARGS:-}

E2E_T0=$(date '+%s%N')
E2E_T0=$((E2E_T0 / 1000000))
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/torvenka-e2e.XXXXXX")
E2E_PIDS=()

e2e_cleanup() {
  local p
  for p in "${E2E_PIDS[@]}"; do
    kill -KILL "$p" 2>/dev/null || true
  done
  for p in "${E2E_PIDS[@]}"; do
    wait "$p" 2>/dev/null || true
  done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

log() { printf '  %6d ms  %s\n' $(($(now_ms) - E2E_T0)) "$*"; }
# fail MESSAGE: end the test. With E2E_SHOTS set to a folder, the window's
# last picture is kept there for a look.
fail() {
  printf 'FAIL: %s\n' "$*" >&2
  if [ -n "${E2E_SHOTS:-}" ] && [ -n "${WIN_X:-}" ]; then
    mkdir -p "$E2E_SHOTS"
    save_png "$E2E_SHOTS/$(basename "$0" .sh).png"
  fi
  exit 1
}

# Current time in milliseconds (monotonic enough for a test's durations).
now_ms() {
  local s ns
  read -r s ns < <(date '+%s %N')
  echo $((s * 1000 + 10#$ns / 1000000))
}

# --- the X server ----------------------------------------------------------

# X connections: on this kind of Xvfb a connection now and then fails at
# once when clients come and go quickly (the client sees its socket closed
# during the set-up). Every X tool used here is therefore called through a
# few retries; for the game see start_game.
x_retry() {
  local i
  for i in 1 2 3 4 5; do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}
display_alive() { x_retry xdpyinfo >/dev/null 2>&1; }

display_alive || fail "the private X server at $DISPLAY does not answer"

export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A single-instance lock of the test's own: the test's copies of the game
# exclude each other, and neither a game the player has open nor another
# test run is in the way.
export TORVENKA_LOCK_DIR="$E2E_TMP/lock"
mkdir -m 700 "$TORVENKA_LOCK_DIR"
# The dives the test's copies keep go to a state folder of its own, never
# the player's.
export XDG_STATE_HOME="$E2E_TMP/state"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# Only a real X display will do: without this, SDL falls back to its
# invisible "offscreen" driver whenever it cannot reach the X server, and
# the game would run unseen (see no_display_test.sh, which runs without it).
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-x11}

# --- waiting ---------------------------------------------------------------

# wait_until SECONDS COMMAND...: run COMMAND every 50 ms until it succeeds;
# fails (status 1) once SECONDS have passed. SECONDS is what a quiet machine
# needs; a busy one gets five times as long (E2E_PATIENCE), since a test
# waits for what it expects, and only a failure waits the whole time.
# Each wait brackets the moment the state came: it was not there yet when
# the last probe that missed it began (WAIT_MISSED_AT, empty if the first
# probe found it) and was there when the probe that found it ended
# (WAIT_FOUND_AT); WAIT_FOUND_BEGAN is when that probe began. On a busy
# machine a probe (a screenshot) takes long, so a test that times the gap
# between two moments takes the bracket's far ends, never the moment the
# wait happened to return.
E2E_PATIENCE=${E2E_PATIENCE:-5}
wait_until() {
  local limit=$1 began
  shift
  local deadline=$(($(now_ms) + $(awk -v s="$limit" -v p="$E2E_PATIENCE" 'BEGIN { printf "%d", s * p * 1000 }')))
  WAIT_MISSED_AT=
  while :; do
    began=$(now_ms)
    if "$@"; then
      WAIT_FOUND_BEGAN=$began
      WAIT_FOUND_AT=$(now_ms)
      return 0
    fi
    WAIT_MISSED_AT=$began
    [ "$(now_ms)" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# --- sound -----------------------------------------------------------------

# private_pulse [SINK OPTION...]: a new PulseAudio of the test's own with one
# null sink, "quiet" (given the options, e.g. rate=44100), whose monitor
# records what is played; exports PULSE_SERVER (and PULSE_RUNTIME_PATH) so
# that what the test starts plays there. Sets PA_PID.
private_pulse() {
  command -v pulseaudio >/dev/null && command -v pactl >/dev/null || fail "needs pulseaudio and pactl"
  local dir
  dir=$(mktemp -d "$E2E_TMP/pulse.XXXXXX")
  export PULSE_SERVER=unix:$dir/native PULSE_RUNTIME_PATH=$dir
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
    -L "module-null-sink sink_name=quiet $*" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" >"$dir.log" 2>&1 &
  PA_PID=$!
  E2E_PIDS+=("$PA_PID")
  wait_until 5 pactl info >/dev/null 2>&1 || fail "the test's sound server did not start: $(tail -2 "$dir.log")"
}

# --- the game process ------------------------------------------------------

# start_game [DIR]: start the game in DIR (default: the project root, where
# dat/ lies); sets GAME_PID and GAME_ERR (its stderr file). A start that
# ends within a second because the X connection failed (see x_retry) is
# tried again.
start_game() {
  local dir=${1:-$PROJECT_DIR} try
  for try in 1 2 3 4 5; do
    GAME_ERR=$(mktemp "$E2E_TMP/stderr.XXXXXX")
    # shellcheck disable=SC2086
    (cd "$dir" && exec "$GAME" $E2E_GAME_ARGS) 2>"$GAME_ERR" &
    GAME_PID=$!
    E2E_PIDS+=("$GAME_PID")
    _connected_or_gone "$GAME_PID" && return 0
    wait "$GAME_PID" 2>/dev/null || true
    grep -q 'cannot open a display' "$GAME_ERR" || return 0
    log "(the game could not reach the X server, starting it again)"
  done
}
# Still running once it has a window or a second has passed; false if it
# ended before.
_connected_or_gone() {
  local i
  for i in $(seq 1 20); do
    alive "$1" || return 1
    [ -n "$(game_windows "$1")" ] && return 0
    sleep 0.05
  done
  alive "$1"
}

alive() { kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" 2>/dev/null | cut -c1)" != Z ]; }

# wait_exit PID SECONDS: wait for the process (a child of this shell) to
# end and set EXIT_CODE to its status; fails if it still runs after SECONDS.
# Not for use inside $(...): only this shell can reap its children.
wait_exit() {
  local pid=$1 limit=$2
  EXIT_CODE=
  wait_until "$limit" exited "$pid" || return 1
  EXIT_CODE=0
  { wait "$pid"; } 2>/dev/null || EXIT_CODE=$?
}
exited() { ! alive "$1"; }

# --- the window ------------------------------------------------------------

# Visible top-level windows of the game (of its X11 class) whose owner is PID.
game_windows() {
  local pid=$1
  xdo search --onlyvisible --class "^$NAME_window_class\$" 2>/dev/null | while read -r w; do
    [ "$(xdo getwindowpid "$w" 2>/dev/null)" = "$pid" ] && echo "$w"
  done || true
}
all_game_windows() { xdo search --onlyvisible --class "^$NAME_window_class\$" 2>/dev/null || true; }

_window_found() {
  WIN=$(game_windows "$1" | head -n1)
  [ -n "$WIN" ]
}

# find_window PID [SECONDS]: wait for the game's window to be mapped; sets
# WIN, WIN_X, WIN_Y (client origin on the screen), WIN_W, WIN_H. Its first
# frame may still be on the way: wait for what the test expects to see.
find_window() {
  local pid=$1 limit=${2:-10}
  wait_until "$limit" _window_found "$pid" || fail "no game window for pid $pid after ${limit}s"
  client_origin "$WIN"
}

# client_origin W: WIN_X, WIN_Y := the screen position of W's client area,
# WIN_W, WIN_H := its size. Without a window manager there is no frame.
client_origin() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdo getwindowgeometry --shell "$1")"
  WIN_X=$X
  WIN_Y=$Y
  WIN_W=$WIDTH
  WIN_H=$HEIGHT
}

# caption W: the window's name as the desktop sees it (_NET_WM_NAME, else
# WM_NAME), without quotes.
caption() {
  local v
  v=$(x_retry xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^=]*= "\(.*\)"$/\1/p')
  [ -z "$v" ] && v=$(x_retry xprop -id "$1" WM_NAME 2>/dev/null | sed -n 's/^[^=]*= "\(.*\)"$/\1/p')
  printf '%s\n' "$v"
}

# close_window W: what a window manager's close box does: send the window
# the WM_DELETE_WINDOW message. (`xdotool windowclose` destroys the window
# behind the client's back instead, which no desktop does.)
close_window() { python3 "$E2E_DIR/wm_delete.py" "$1"; }

# --- input -----------------------------------------------------------------

# xdotool, tried again only when it could not connect (before it did
# anything), so no event is ever sent twice.
xdo() {
  local i out rc
  for i in 1 2 3 4 5; do
    rc=0
    out=$(xdotool "$@" 2>&1) || rc=$?
    if [ "$rc" -eq 0 ] || ! printf '%s' "$out" | grep -q "Can't open display\|Failed creating new xdo"; then
      [ -n "$out" ] && printf '%s\n' "$out"
      return "$rc"
    fi
    sleep 0.05
  done
  return "$rc"
}

# Pointer positions are client coordinates of the current window (WIN_X,
# WIN_Y); every motion is synced so the server has moved before we go on
# (but `--sync` waits forever for a move onto the spot where the pointer
# already is, so that one is skipped).
pointer_to() {
  local X Y SCREEN WINDOW
  eval "$(xdo getmouselocation --shell)"
  local sx=$((WIN_X + $1 * E2E_SCALE + E2E_SCALE / 2)) sy=$((WIN_Y + $2 * E2E_SCALE + E2E_SCALE / 2))
  [ "$X" -eq "$sx" ] && [ "$Y" -eq "$sy" ] && return 0
  xdo mousemove --sync "$sx" "$sy"
}
left_click_at() {
  pointer_to "$1" "$2"
  xdo mousedown 1 mouseup 1
}
left_press_at() {
  pointer_to "$1" "$2"
  xdo mousedown 1
}
left_release() { xdo mouseup 1; }
# right_drag X0 Y0 X1 Y1: a right-button swipe in four steps.
right_drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 i
  pointer_to "$x0" "$y0"
  xdo mousedown 3
  for i in 1 2 3 4; do
    pointer_to $((x0 + (x1 - x0) * i / 4)) $((y0 + (y1 - y0) * i / 4))
  done
  xdo mouseup 3
}
right_click_at() {
  pointer_to "$1" "$2"
  xdo mousedown 3 mouseup 3
}

# --- pixels ----------------------------------------------------------------

# The game's colours as "r,g,b".
WHITE=$(IFS=,; echo "${COLOUR_white[*]}")
YELLOW=$(IFS=,; echo "${COLOUR_yellow[*]}")
RED=$(IFS=,; echo "${COLOUR_red[*]}")
CYAN=$(IFS=,; echo "${COLOUR_cyan[*]}")
BLACK=$(IFS=,; echo "${COLOUR_black[*]}")

# snap [FILE]: copy the current client area from the screen into FILE
# (default $E2E_TMP/snap.txt), one game pixel a line as "r g b", row by row;
# sets SNAP to the file. Scaled, a game pixel is its block's top-left pixel,
# and SNAP_MIXED counts the blocks that are not one colour.
snap() {
  SNAP=${1:-$E2E_TMP/snap.txt}
  local i s=$E2E_SCALE
  for i in 1 2 3 4 5; do
    if [ "$s" -eq 1 ]; then
      import -window root -crop "${CLIENT_W}x${CLIENT_H}+${WIN_X}+${WIN_Y}" +repage -depth 8 rgb:- 2>/dev/null |
        od -An -tu1 -v -w3 >"$SNAP"
      SNAP_MIXED=0
    else
      import -window root -crop "$((CLIENT_W * s))x$((CLIENT_H * s))+${WIN_X}+${WIN_Y}" +repage -depth 8 rgb:- \
        2>/dev/null | od -An -tu1 -v -w3 |
        awk -v W=$((CLIENT_W * s)) -v S="$s" -v out="$SNAP" -v mixedfile="$SNAP.mixed" '
          { i = NR - 1; x = i % W; y = int(i / W); b = int(y / S) * W + int(x / S); c = $1 " " $2 " " $3 }
          x % S == 0 && y % S == 0 { first[b] = c; order[++n] = b }
          !(x % S == 0 && y % S == 0) && c != first[b] { bad[b] = 1 }
          END {
            for (k = 1; k <= n; k++) print first[order[k]] > out
            m = 0; for (b in bad) m++; print m > mixedfile
          }'
      SNAP_MIXED=$(cat "$SNAP.mixed" 2>/dev/null || echo -1)
    fi
    [ "$(wc -l <"$SNAP")" -eq $((CLIENT_W * CLIENT_H)) ] && return 0
    sleep 0.05
  done
  fail "could not read the window's pixels back"
}

# The awk prelude for the helpers below: x, y, c ("r,g,b") of each pixel
# line, and whether it lies in the box x0, y0, x1, y1 (exclusive).
_AWK_PIXEL='{ i = NR - 1; x = i % W; y = int(i / W); c = $1 "," $2 "," $3; inbox = x >= x0 && x < x1 && y >= y0 && y < y1 }'

# count_colour X Y W H COLOUR...: pixels of the box in the last snap that
# have one of the colours.
count_colour() { _count_box 1 "$@"; }
# count_not X Y W H COLOUR...: pixels of the box that have none of them.
count_not() { _count_box 0 "$@"; }
# _count_box IN X Y W H COLOUR...: pixels of the box whose colour is (IN=1)
# or is not (IN=0) one of the colours.
_count_box() {
  local in=$1 x=$2 y=$3 w=$4 h=$5
  shift 5
  awk -v W="$CLIENT_W" -v x0="$x" -v y0="$y" -v x1=$((x + w)) -v y1=$((y + h)) -v cols="$*" -v in_="$in" '
    BEGIN { n = split(cols, cs, " "); for (j = 1; j <= n; j++) want[cs[j]] = 1 }
    '"$_AWK_PIXEL"'
    inbox && ((c in want) == in_) { k++ }
    END { print k + 0 }' "$SNAP"
}
# box_dump X Y W H: the box's pixels of the last snap, "x y r,g,b" a line,
# to compare two moments of one spot.
box_dump() {
  awk -v W="$CLIENT_W" -v x0="$1" -v y0="$2" -v x1=$(($1 + $3)) -v y1=$(($2 + $4)) '
    '"$_AWK_PIXEL"'
    inbox { print x, y, c }' "$SNAP"
}
# colour_set X Y W H COLOUR: positions of the pixels of that colour in the
# box, on one line (a label's front copy: tells whether its text changed).
colour_set() {
  awk -v W="$CLIENT_W" -v x0="$1" -v y0="$2" -v x1=$(($1 + $3)) -v y1=$(($2 + $4)) -v want="$5" '
    '"$_AWK_PIXEL"'
    inbox && c == want { printf "%d,%d ", x, y }
    END { print "" }' "$SNAP"
}
# save_png FILE: the current client area as a picture (for a failure report).
save_png() {
  import -window root -crop "$((CLIENT_W * E2E_SCALE))x$((CLIENT_H * E2E_SCALE))+${WIN_X}+${WIN_Y}" +repage "$1" \
    2>/dev/null || true
}

# --- the game's screens, as seen from outside ------------------------------

# Title word "潜行", its red shadow one pixel lower right; the game-over
# picture.
TITLE_BOX=("${BOX_titleWord[@]}")
OVER_BOX=("${BOX_gameOver[@]}")

# The title word in COLOUR (white or yellow) is on the screen, with its
# shadow, and nothing else is drawn on the black window.
title_in() {
  snap
  local front shadow other
  front=$(count_colour "${TITLE_BOX[@]}" "$1")
  shadow=$(count_colour "${BOX_titleWordShadow[@]}" "$RED")
  other=$(count_not 0 0 "$CLIENT_W" "$CLIENT_H" "$BLACK" "$1" "$RED")
  [ "$front" -ge 40 ] && [ "$shadow" -ge 20 ] && [ "$other" -eq 0 ]
}

# The dive has begun: the sea's violet-blue water fills the top rows and the
# three gauge captions stand in the lower left, white over red.
dive_shown() {
  snap
  local water white red
  water=$(awk -v n=$((20 * CLIENT_W)) 'NR <= n && $3 > 150 && $3 > $1 + 60 && $3 > $2 + 60 { k++ }
    END { print k + 0 }' "$SNAP")
  white=$(count_colour 0 160 60 50 "$WHITE")
  red=$(count_colour 0 160 62 52 "$RED")
  [ "$water" -ge 1000 ] && [ "$white" -ge 100 ] && [ "$red" -ge 60 ]
}

# The curtain is up: the whole client area is black.
all_black() {
  snap
  [ "$(count_not 0 0 "$CLIENT_W" "$CLIENT_H" "$BLACK")" -eq 0 ]
}
# The game-over picture: white letters in its box, black everywhere else.
game_over_shown() {
  snap
  local white lit outside
  white=$(count_colour "${OVER_BOX[@]}" "$WHITE")
  lit=$(count_not "${OVER_BOX[@]}" "$BLACK")
  outside=$(($(count_not 0 0 "$CLIENT_W" "$CLIENT_H" "$BLACK") - lit))
  [ "$white" -ge 150 ] && [ "$outside" -eq 0 ]
}

# A row of cards lies face down on the playfield (the first comes at tick 90).
row_laid() {
  snap
  [ "$(count_colour 10 75 172 51 "$WHITE")" -ge 3600 ]
}

# tank_gauge: the tank gauge's white pixels now (empty once the gauge is
# gone). tank_opened BEFORE: the gauge shows another number than BEFORE and
# is still there: when the dive ends the gauges go, digits and all, which is
# no tank opened.
tank_gauge() { colour_set "${BOX_tanksValue[@]}" "$WHITE"; }
tank_opened() {
  snap
  local now
  now=$(tank_gauge)
  [ -n "${now// /}" ] && [ "$now" != "$1" ] && [ "$(count_colour "${BOX_tanksCaption[@]}" "$WHITE")" -gt 0 ]
}

# start_dive: hover and click the title word of the current window; waits
# until the sea and the gauges are on the screen.
start_dive() {
  pointer_to "${AT_start[@]}"
  wait_until 3 title_in "$YELLOW" || fail "the title word does not light up under the pointer"
  xdo mousedown 1 mouseup 1
  wait_until 3 dive_shown || fail "no sea and gauges after the start click"
}

# close_and_expect_0 W PID: close the window and expect a clean exit.
close_and_expect_0() {
  close_window "$1"
  wait_exit "$2" 5 || fail "the game still runs 5 s after its window was closed"
  [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after closing the window"
}

# Park the pointer in a corner of the screen, far from any window.
xdo mousemove 0 0
