#!/usr/bin/env bash
# Builds the show for a web page into dist/web/: index.html, index.js,
# index.wasm and index.data (the generated media, the show's working folder).
#
#   scripts/build-web.sh [--out DIR] [--build DIR] [--media DIR]
#
# SDL2 and libopenmpt are built for the web once, into the dependency cache
# outside the clone (scripts/build-deps.sh web: a few minutes the first time,
# nothing later). Without --media the media are made by tools/mediagen, built
# natively in the build folder. Serve the result with scripts/serve-web.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/dist/web
build=$root/build-web
media=
while [ $# -gt 0 ]; do
  case $1 in
  --out) out=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  --media) media=$2; shift 2 ;;
  *) echo "usage: build-web.sh [--out DIR] [--build DIR] [--media DIR]" >&2; exit 2 ;;
  esac
done
parallel=(-j"$(nproc)")
# Run from the test build's make, the builds here are makes of their own.
unset MAKEFLAGS MFLAGS MAKELEVEL
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}  # Debian's Emscripten needs Debian's node modules

for tool in emcc emcmake cmake; do
  command -v "$tool" > /dev/null || { echo "build-web: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done

# A command substitution, not a process substitution: its failure stops here.
prefixes=$("$root/scripts/build-deps.sh" web)
mapfile -t prefixes <<<"$prefixes"
[ ${#prefixes[@]} -eq 2 ] || { echo "build-web: build-deps.sh gave no SDL2 and libopenmpt prefixes" >&2; exit 1; }
sdl2=${prefixes[0]}
openmpt=${prefixes[1]}

if [ -z "$media" ]; then
  # The native build's media target: it runs the generator again only when the
  # generator changed, so an unchanged page is not packed and linked again.
  cmake -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
  cmake --build "$build/host" "${parallel[@]}" --target media
  media=$build/host/media
fi
media=$(cd "$media" && pwd)

emcmake cmake -S "$root" -B "$build/page" -DCMAKE_BUILD_TYPE=Release -DSHOW_WERROR=ON \
  -DSHOW_WEB_SDL2="$sdl2" -DSHOW_WEB_OPENMPT="$openmpt" -DSHOW_WEB_MEDIA="$media" > /dev/null
cmake --build "$build/page" "${parallel[@]}" --target show

mkdir -p "$out"
for file in index.html index.js index.wasm index.data; do
  cp "$build/page/src/shell/$file" "$out/$file.new"
  mv -f "$out/$file.new" "$out/$file"
done
echo "build-web: $out"
