# The installed launcher, started from an unrelated folder with arguments,
# opens the game's window with the game's working folder set to the
# installed data and the arguments passed on.
set -uo pipefail
. "$(dirname "$0")/lib.sh" "$@"

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "no X display: skipped"
  exit 77
fi

PREFIX=$SCRATCH/prefix
install_to "$PREFIX"

# One user runs one copy at a time: the test's copy has a lock of its own.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export TORVENKA_LOCK_DIR=$SCRATCH/lock
mkdir -m 700 "$TORVENKA_LOCK_DIR"

mkdir "$SCRATCH/elsewhere"
# A busy X server now and then turns a new client away; the game then says
# it cannot open a display and ends, and is simply started again.
win=
for attempt in 1 2 3; do
  (cd "$SCRATCH/elsewhere" && exec "$PREFIX/games/torvenka" --scale 1 >"$SCRATCH/game.log" 2>&1) &
  pid=$!
  CLEANUPS+=("kill $pid 2>/dev/null; wait $pid 2>/dev/null")
  # The launcher execs the game, so the window belongs to the same process.
  for _ in $(seq 1 300); do
    win=$(xdotool search --all --pid "$pid" --name "^$CAPTION_title\$" 2>/dev/null | head -n1) && [ -n "$win" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$win" ] && break
  grep -q 'cannot open a display' "$SCRATCH/game.log" || break
done
if [ -z "$win" ]; then
  fail "no Torvenka window appeared"
  cat "$SCRATCH/game.log" >&2
  finish
fi

expect_eq "game binary" "$PREFIX/libexec/torvenka/torvenka" "$(readlink "/proc/$pid/exe")"
expect_eq "working folder" "$PREFIX/share/games/torvenka" "$(readlink "/proc/$pid/cwd")"
expect_eq "arguments" "--scale 1" "$(tr '\0' '\n' <"/proc/$pid/cmdline" | tail -n +2 | paste -sd ' ')"
expect_eq "window class" "WM_CLASS(STRING) = \"$NAME_window_class\", \"$NAME_window_class\"" "$(xprop -id "$win" WM_CLASS)"

# Closing: the game leaves promptly when told to.
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the game did not stop within 5 s of SIGTERM"

finish
