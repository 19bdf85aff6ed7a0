# What the shell tests need to know of the game comes from the game: the
# build's pagecheck says it (pagecheck facts --lines), one fact a line, its
# name, then its value. Sourced by the end-to-end and the packaging helpers:
#   read_game_facts PAGECHECK
# sets, for each line, a variable of that name:
#   CLIENT_W, CLIENT_H        the client area in game pixels
#   BOX_<item>                every item's box on the title screen
#                             (left top width height)
#   AT_start, AT_spear,       the start click, the spear's and the cards'
#   AT_card1..3               middles (x y)
#   SWIPE_tank, SWIPE_spear   the swipes across the open sea (x0 y0 x1 y1)
#   SOUND_<what>              the sound files as the game names them
#   STEP_GATE, STEP_APART     the dive step's gate, and how far apart steps start
#   PHASE_<value>             the phases' names (PHASE_gameOver is "gameover")
#   PHASE_LETTER_<value>      their letters in the traces and the bench's step
#                             lines (TORVENKA_BENCH_TRACE)
#   CAPTION_title,            the window's caption on the title and once the
#   CAPTION_clear             dive is won, each one string
#   COLOUR_<name>             the game's colours (r g b): white, yellow, cyan,
#                             red, black
#   NAME_game,                the game's name and its window's class
#   NAME_window_class
# A fact of several numbers becomes an array; a caption stays one string.
# The lines are only read, never run: a name must be one of those kinds and a
# value numbers or a plain file name (a caption: printable text), else the
# test stops.
read_game_facts() {
  local tool=$1 facts fact_name fact_value
  if ! facts=$("$tool" facts --lines); then
    echo "no game facts from $tool (cmake --build build --target pagecheck)" >&2
    exit 1
  fi
  while read -r fact_name fact_value; do
    if [[ $fact_name =~ ^CAPTION_[A-Za-z0-9_]+$ ]] && [[ $fact_value =~ ^[^[:cntrl:]]+$ ]]; then
      printf -v "$fact_name" '%s' "$fact_value"
      continue
    fi
    if ! [[ $fact_name =~ ^(CLIENT|BOX|AT|SWIPE|SOUND|STEP|PHASE|COLOUR|NAME)_[A-Za-z0-9_]+$ ]] ||
      ! [[ $fact_value =~ ^(-?[0-9]+( -?[0-9]+)*|[A-Za-z0-9_][A-Za-z0-9_./-]*)$ ]]; then
      echo "$tool says something that is not a fact: $fact_name $fact_value" >&2
      exit 1
    fi
    read -r -a "$fact_name" <<<"$fact_value"
  done <<<"$facts"
}
