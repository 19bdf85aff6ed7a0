# Wine for the Windows build's tests, sourced by tests/windows/*.sh:
#
#   . tests/windows/wine.sh WINE_DIR
#
# finds wine64 and its wineserver (a test without them ends with 77, ctest's
# skip, saying what is missing) and gives the test a Windows of its own: a
# private WINEPREFIX under its own temporary folder, exported, cloned from a
# template prefix kept in WINE_DIR (made once, by whichever test needs it
# first, with `wineboot -i`). The clone's system files are hard links to the
# template's, which wine only reads; its registry files are copies, since
# wine rewrites them. Wine says nothing (WINEDEBUG=-all) and never offers to
# download Mono or Gecko (no mscoree, no mshtml).
#
# wine_cleanup ends the prefix's own wine processes (its wineserver, and with
# it every program of that prefix alone) and removes the clone.

WINE_DIR=${1:?wine.sh needs the folder of the template prefix}
case "$WINE_DIR" in /*) ;; *) WINE_DIR=$PWD/$WINE_DIR ;; esac

_wine_find() {
  local name=$1 p
  p=$(command -v "$name" 2>/dev/null || true)
  [ -z "$p" ] && [ -x "/usr/lib/wine/$name" ] && p=/usr/lib/wine/$name
  printf '%s\n' "$p"
}
WINE64=$(_wine_find wine64)
WINESERVER=$(_wine_find wineserver)
if [ -z "$WINE64" ] || [ -z "$WINESERVER" ]; then
  echo "SKIP: no wine64 (Debian's wine64 package; scripts/test installs it): the Windows build is not run" >&2
  exit 77
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset WINELOADER WINESERVER_PATH

# wine_template: the template prefix, made once (under a lock: the tests
# start side by side) and kept.
wine_template() {
  WINE_TEMPLATE=$WINE_DIR/template
  mkdir -p "$WINE_DIR"
  (
    flock 9
    if [ ! -f "$WINE_TEMPLATE/.ready" ]; then
      rm -rf "$WINE_TEMPLATE"
      echo "wine: making the template prefix $WINE_TEMPLATE (once)" >&2
      WINEPREFIX=$WINE_TEMPLATE "$WINE64" wineboot -i >/dev/null 2>&1 || true
      WINEPREFIX=$WINE_TEMPLATE "$WINESERVER" -w
      [ -f "$WINE_TEMPLATE/system.reg" ] || { echo "wine: wineboot made no prefix in $WINE_TEMPLATE" >&2; exit 1; }
      touch "$WINE_TEMPLATE/.ready"
    fi
  ) 9>"$WINE_DIR/template.lock"
}

# wine_prefix DIR: a private prefix in DIR, cloned from the template; exports
# WINEPREFIX. Its user's folder is WINE_HOME (C:\users\<user>).
wine_prefix() {
  wine_template
  WINEPREFIX=$1
  rm -rf "$WINEPREFIX"
  cp -al "$WINE_TEMPLATE" "$WINEPREFIX"
  local reg
  for reg in "$WINEPREFIX"/*.reg; do
    cp --remove-destination "$WINE_TEMPLATE/$(basename "$reg")" "$reg"
  done
  rm -f "$WINEPREFIX/.ready"
  export WINEPREFIX
  WINE_HOME=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
}

# wine_reg_set KEY NAME TYPE VALUE: a registry value in the prefix (reg add).
wine_reg_set() {
  "$WINE64" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}

# wine_windows PID: the visible windows of the game started as PID under
# wine (xdotool, through the end-to-end helpers' xdo). Wine names the X
# window's class after the program and gives it the process id of wine's
# process, the one that was started.
wine_windows() {
  local pid=$1
  xdo search --onlyvisible --name "^$CAPTION_title\$" 2>/dev/null | while read -r w; do
    [ "$(xdo getwindowpid "$w" 2>/dev/null)" = "$pid" ] && echo "$w"
  done || true
}

# wine_server_pid: the process id of the prefix's wineserver, which does part
# of every wine program's work (for a processor share that counts it).
wine_server_pid() {
  local p
  for p in /proc/[0-9]*; do
    case "$(readlink "$p/exe" 2>/dev/null)" in */wineserver*) ;; *) continue ;; esac
    tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "${p#/proc/}"; return 0; }
  done
  return 1
}

wine_cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    "$WINESERVER" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
}
