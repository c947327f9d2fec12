#!/usr/bin/env bash
# Installs what building, running and testing the show need (Debian, as root).
set -euo pipefail
packages=(
  build-essential cmake pkg-config clang
  libsdl2-dev libopenmpt-dev libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libgtest-dev libpng-dev
  xvfb xserver-xorg-core xserver-xorg-video-dummy xdotool x11-utils x11-xserver-utils libx11-dev libxfixes-dev faketime imagemagick
  openmpt123 xmp assimp-utils python3 python3-pil ffmpeg
  # The Windows build: MinGW-w64, Debian's sources of SDL2 and libopenmpt
  # (dpkg-dev unpacks them), Wine to test it, zip to package it.
  g++-mingw-w64-x86-64 dpkg-dev wine wine64 zip
  # The web build: Emscripten, and Chromium to test the page.
  emscripten chromium
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
