#!/usr/bin/env bash
# Installs what building, running and testing the show need (Debian, as root).
#   deps.sh          installs the packages that are missing
#   deps.sh --list   prints the package list, one a line, and installs nothing
# scripts/fresh-check.sh proves on a fresh Debian root that this list is enough.
set -euo pipefail
packages=(
  # the build; dpkg-dev also unpacks Debian sources for the cross builds (scripts/debian-source.sh)
  build-essential cmake pkg-config clang dpkg-dev
  # clang's libFuzzer and sanitizer runtimes, for the fuzzers (tests/fuzz/README.md)
  libclang-rt-14-dev
  libsdl2-dev libopenmpt-dev libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri libpng-dev
  # unit tests: GoogleTest and its mock library, which Debian ships apart
  libgtest-dev libgmock-dev
  # end-to-end tests; SDL's X11 message box needs the server's core fonts, which Xvfb only recommends
  xvfb xfonts-base xserver-xorg-core xserver-xorg-video-dummy xdotool x11-utils x11-xserver-utils
  libx11-dev libxfixes-dev faketime imagemagick
  # the media checks through readers nobody here wrote
  openmpt123 xmp assimp-utils python3 python3-pil
  # capture's video (and its tests' ffprobe)
  ffmpeg
  # the Windows build: MinGW-w64, Wine to test it, zip to package it
  g++-mingw-w64-x86-64 wine wine64 zip
  # the web build: Emscripten, and Chromium to test the page
  emscripten chromium
)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  # Several people may share this machine's dpkg lock: wait for it rather than fail.
  apt-get -o DPkg::Lock::Timeout=900 update
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends "${missing[@]}"
fi
