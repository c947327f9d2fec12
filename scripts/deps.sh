#!/usr/bin/env bash
# Installs what building, running, testing and packaging the show need (Debian, as root).
#   deps.sh [GROUP...]          installs the missing packages of those groups (default: every group)
#   deps.sh --list [GROUP...]   prints their packages, one a line, and installs nothing
# The README's run command installs the group run alone, its test command every group.
# scripts/fresh-check.sh proves on fresh Debian roots that these lists are enough.
set -euo pipefail
# One list: a group, then packages; above each line, what needs them.
table=$(cat <<'TABLE'
# run: the build, and the show on a desktop (Mesa draws its GL). Configuring
# asks for EGL and libpng too, which the offscreen tools use.
run      build-essential cmake pkg-config
run      libsdl2-dev libopenmpt-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libpng-dev

# tools: Mesa's EGL for the offscreen programs (capture, bench_scenes, the GL
# tests), and capture's video
tools    libegl-mesa0 ffmpeg

# test: clang, its libFuzzer and sanitizer runtimes, for the fuzzers (tests/fuzz/README.md)
test     clang libclang-rt-14-dev
# test: GoogleTest and its mock library, which Debian ships apart
test     libgtest-dev libgmock-dev
# test: end-to-end; SDL's X11 message box needs the server's core fonts, which Xvfb only recommends
test     xvfb xfonts-base xserver-xorg-core xserver-xorg-video-dummy xdotool x11-utils x11-xserver-utils
test     libx11-dev libxfixes-dev faketime imagemagick
# test: a Wayland desktop, weston's headless compositor with Xwayland in it
test     weston xwayland
# test: the media checked through readers nobody here wrote
test     openmpt123 xmp assimp-utils python3 python3-pil

# package: scripts/package-deb.sh (capture's man page from its --help, the icon
# scaled from a frame of the show) and the package's checks
package  dpkg-dev help2man imagemagick lintian appstream

# windows: MinGW-w64, Wine to test it, zip to package it; dpkg-dev unpacks the
# Debian sources its libraries are built from (scripts/debian-source.sh)
windows  g++-mingw-w64-x86-64 wine wine64 zip dpkg-dev

# web: Emscripten, and Chromium to test the page
web      emscripten chromium dpkg-dev
TABLE
)
groups=$(awk '!/^#/ && NF { print $1 }' <<<"$table" | awk '!seen[$0]++')

list=0
[ "${1:-}" = --list ] && { list=1; shift; }
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || mapfile -t wanted <<<"$groups"
for g in "${wanted[@]}"; do
  grep -qx -- "$g" <<<"$groups" || { echo "deps.sh: no group $g (groups: $(echo $groups))" >&2; exit 2; }
done
mapfile -t packages < <(awk -v want=" ${wanted[*]} " '!/^#/ && NF && index(want, " " $1 " ") {
  for (i = 2; i <= NF; i++) if (!seen[$i]++) print $i }' <<<"$table")

if [ $list = 1 ]; then
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
