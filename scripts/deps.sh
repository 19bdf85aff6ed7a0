#!/usr/bin/env bash
# Shared by scripts/run, scripts/test, scripts/web and scripts/bench: installs the Debian
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
# The browser build, which stands on its own (scripts/web): Emscripten (with
# its clang, binaryen and node), and FluidSynth with the soundfont and oggenc
# for the page's music (the themes' renders); python3 serves the site.
# Emscripten's "ports" are never used: they would download. No SDL, no X11.
TORVENKA_WEB_PACKAGES=(
  cmake make emscripten fluidsynth timgm6mb-soundfont vorbis-tools python3
)
# The Windows build (scripts/windows, and the windows.* tests): MinGW-w64's
# cross compilers (the posix flavour, which has std::thread), stb_vorbis for
# the themes' renders, NSIS for the installer, FluidSynth with the soundfont
# and oggenc for the renders it ships, and wine64, which runs the tests.
TORVENKA_WINDOWS_PACKAGES=(
  cmake make g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libstb-dev nsis
  fluidsynth timgm6mb-soundfont vorbis-tools wine64
)
# The game draws its words from a glyph table baked from IPA P Gothic; the
# tests hold that table to SDL_ttf with the face itself (glyphbake needs both
# to bake it again). The bench (scripts/bench, tools/webbench) reads the
# browsers' processor time with python3-psutil.
TORVENKA_TEST_PACKAGES=(
  libsdl2-ttf-dev fonts-ipafont-gothic
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick sox python3 python3-psutil
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

# The browser tests' packages, the same scenarios in three engines: their
# driver layer holds the one list of what each engine needs
# (python/web_browsers.py), and Debian's python3 reads it out: pytest with
# its plugins python3-pytest-timeout and python3-pytest-rerunfailures among
# them (tests/web/pytest.ini).
torvenka_browser_packages() {
  command -v /usr/bin/python3 >/dev/null || torvenka_install python3
  /usr/bin/python3 python/web_browsers.py packages
}

torvenka_build() {
  local dir=${1:-build}
  shift || true
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
