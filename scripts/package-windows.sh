#!/usr/bin/env bash
# Installs what is missing, cross-builds the show for Windows and writes
# dist/show-win64.zip: a folder show-win64/ with show.exe (linked statically:
# it needs only Windows' own DLLs), the show's media beside it and README.txt.
#
# The media are made by the Linux build's mediagen (build/), so the package
# needs no Wine. mediagen.exe writes the same pictures, but Windows' maths
# library rounds the last bit of some sines and logarithms differently, so a
# few mesh coordinates and tune samples differ (the windows.mediagen test
# compares them).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build-windows.sh build-windows
cmake -S . -B build
cmake --build build -j"$(nproc)" --target media

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/show-win64
mkdir "$folder"
cp build-windows/src/shell/show.exe "$folder/"
cp build/media/* "$folder/"
# Notepad on older Windows wants CR LF line ends.
sed 's/$/\r/' >"$folder/README.txt" <<'TEXT'
Z_U - a real-time audiovisual show

Start it with a double-click on show.exe. Keep the other files beside it: the
show reads its pictures, meshes and its tune (algar.xm) from the folder it is
started in. Nothing needs installing; a 64-bit Windows with OpenGL will do.

At start it asks "Full of screenshiiiet? (fullscreen?)", that is: full screen?
  Yes (Return)  full screen: the display switches to 800 x 600 while it runs
  No  (Escape)  an ordinary window with an 800 x 600 picture

The show plays for about three and three-quarter minutes and ends by itself.
Press Escape to leave earlier (closing the window does the same).

Options, from a shortcut's target or a command prompt (show.exe --scaled --loop):
  --scaled  full screen at the desktop's own resolution, without asking and
            without switching the display: the picture scaled, its shape kept,
            between black bars. Better than Yes on wide screens.
  --loop    start again from the beginning at the end, until Escape.

Any of the picture, mesh or tune files may be replaced by one of your own
with the same name. Without a file the show still runs: a missing picture is
left empty, a missing tune leaves it silent.
TEXT

mkdir -p dist
rm -f dist/show-win64.zip
(cd "$stage" && zip -q -X -r "$OLDPWD/dist/show-win64.zip" show-win64)
ls -l dist/show-win64.zip
