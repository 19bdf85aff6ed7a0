#!/usr/bin/env bash
# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian
# packages the game and its tests need, but only the ones that are missing.
set -euo pipefail

TORVENKA_PACKAGES=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libfontconfig-dev libx11-dev
  libgtest-dev zlib1g-dev
  fonts-ipafont-gothic
  timgm6mb-soundfont
)
TORVENKA_TEST_PACKAGES=(
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick sox python3
  desktop-file-utils appstream dpkg-dev file pulseaudio pulseaudio-utils lintian
  clang libc++-dev libc++abi-dev googletest
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
  local cmd=(apt-get install -y --no-install-recommends "${missing[@]}")
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
