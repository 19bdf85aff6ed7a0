#!/usr/bin/env bash
# Without a display the game cannot show its window: with DISPLAY unset, and
# with DISPLAY naming an X server that does not exist, it must say so in one
# line on stderr and end with a non-zero code of its own (not a signal, no
# core dump) instead of running on unseen.
. "$(dirname "$0")/lib.sh" "$1"

# Here the game picks its own video driver, as it does on a desktop.
unset SDL_VIDEODRIVER

# A display number with neither a socket nor a lock file.
dead=
for n in $(seq 400 499); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    dead=":$n"
    break
  fi
done
[ -n "$dead" ] || fail "no free display number"

# run_without_display LABEL [DISPLAY]: run the game in an empty folder with
# core dumps allowed, and check how it ends.
run_without_display() {
  local label=$1 dir
  dir=$(mktemp -d "$E2E_TMP/nodisplay.XXXXXX")
  if [ $# -ge 2 ]; then
    (cd "$dir" && ulimit -c unlimited 2>/dev/null; DISPLAY=$2 exec "$GAME") 2>"$dir.err" &
  else
    (cd "$dir" && ulimit -c unlimited 2>/dev/null; unset DISPLAY; exec "$GAME") 2>"$dir.err" &
  fi
  local pid=$!
  E2E_PIDS+=("$pid")
  wait_exit "$pid" 5 || fail "$label: the game still runs after 5 s without a display"
  [ "$EXIT_CODE" -ne 0 ] || fail "$label: exit code 0"
  [ "$EXIT_CODE" -lt 128 ] || fail "$label: ended by signal $((EXIT_CODE - 128))"
  [ -z "$(ls "$dir")" ] || fail "$label: left files behind: $(ls "$dir")"
  local lines
  lines=$(wc -l <"$dir.err")
  [ "$lines" -eq 1 ] || fail "$label: $lines lines on stderr, not one: $(head -5 "$dir.err")"
  log "$label: exit code $EXIT_CODE, stderr: $(cat "$dir.err")"
}

log "DISPLAY unset"
run_without_display "no DISPLAY"
log "DISPLAY=$dead, where no X server listens"
run_without_display "dead display" "$dead"
log "ok"
