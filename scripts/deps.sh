#!/usr/bin/env bash
# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian
# packages the game and its tests need, but only the ones that are missing.
set -euo pipefail

# FluidSynth, the TimGM6mb soundfont and oggenc (vorbis-tools) render the
# themes at build time (cmake/theme_renders.cmake), which the game then plays;
# without them the build still works and the game synthesises its MIDI files
# live, with the soundfont.
TORVENKA_PACKAGES=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-mixer-dev libvorbis-dev libx11-dev
  libgtest-dev zlib1g-dev
  fluidsynth timgm6mb-soundfont vorbis-tools
)
# The browser build: Emscripten (with its clang, binaryen and node), GoogleTest's
# sources for the tests under node, and FluidSynth with the soundfont and
# oggenc for the page's music (the themes' renders). Emscripten's "ports" are
# never used: they would download.
TORVENKA_WEB_PACKAGES=(
  emscripten googletest fluidsynth timgm6mb-soundfont vorbis-tools python3
)
# The browser tests, the same scenarios in three engines, run by Debian's
# python3 under pytest (with PIL for pictures): Chromium through chromedriver
# and selenium; Firefox ESR through WebDriver BiDi (over python3-websocket);
# WebKitGTK's MiniBrowser through WebKitWebDriver and selenium, on an X server
# (Xvfb) with xdotool's pointer. Firefox and WebKit play the page's audio
# into a PulseAudio of the tests' own.
TORVENKA_BROWSER_PACKAGES=(
  python3-pytest python3-pil
  chromium chromium-driver python3-selenium
  firefox-esr python3-websocket
  webkit2gtk-driver xvfb xdotool
  pulseaudio
)
# The game draws its words from a glyph table baked from IPA P Gothic; the
# tests hold that table to SDL_ttf with the face itself (glyphbake needs both
# to bake it again).
TORVENKA_TEST_PACKAGES=(
  libsdl2-ttf-dev fonts-ipafont-gothic
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick sox python3
  desktop-file-utils appstream dpkg-dev file pulseaudio pulseaudio-utils lintian
  clang libclang-rt-14-dev libc++-dev libc++abi-dev googletest
)

torvenka_install() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  # Another apt run may hold the lock for a while; wait for it.
  local cmd=(apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}")
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq || true
    DEBIAN_FRONTEND=noninteractive "${cmd[@]}"
  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    echo "Installing: ${missing[*]}"
    sudo DEBIAN_FRONTEND=noninteractive apt-get update -qq || true
    sudo DEBIAN_FRONTEND=noninteractive "${cmd[@]}"
  else
    echo "Missing Debian packages. Please run:" >&2
    echo "  sudo ${cmd[*]}" >&2
    exit 1
  fi
}

torvenka_build() {
  local dir=${1:-build}
  shift || true
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
