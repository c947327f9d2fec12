#!/usr/bin/env bash
# Builds the show's libraries (SDL2, libopenmpt) for the web (Emscripten) from
# Debian's sources, once, and prints one install prefix per line:
#
#   scripts/build-deps-web.sh  ->  $SHOW_DEPS_CACHE/web/libsdl2-2.26.5+dfsg-1
#                                  $SHOW_DEPS_CACHE/web/libopenmpt-0.6.9-1
#
# Each prefix (include/, lib/) is keyed by the package's Debian version; it is
# built in a temporary folder beside it and renamed when complete, so a build
# cut short is never mistaken for a finished one, and later builds reuse it.
# Build logs go to stderr. Emscripten's port of SDL2 (-sUSE_SDL=2) would be
# downloaded at build time; Debian's source needs nothing from the network.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${SHOW_DEPS_CACHE:-$HOME/.cache/show-deps}
target=web
jobs=$(nproc)
# Debian's Emscripten runs its JavaScript tools with whatever node is first on
# the PATH; one installed from elsewhere does not see Debian's modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# configure runs its test programs under node; Emscripten 3.1.6's loader takes
# the fetch() of a newer node for a browser's and cannot load them.
export NODE_OPTIONS=--no-experimental-fetch

# Each package builds for its final PREFIX and installs under the staging
# folder $DESTDIR, so that nothing appears at PREFIX before it is whole. Steps
# are chained with &&: a function run under `if` ignores set -e.
build_libsdl2() {  # SOURCE BUILD PREFIX
  # No threads: the page runs the show on the browser's main thread.
  emcmake cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$3" \
    -DSDL_TEST=OFF -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_PTHREADS=OFF &&
  cmake --build "$2" -j"$jobs" &&
  cmake --install "$2"
}

build_libopenmpt() {  # SOURCE BUILD PREFIX
  # Only the library: no player, no codecs beyond the tracker formats.
  (cd "$2" && emconfigure "$1/configure" --prefix="$3" CFLAGS=-O2 CXXFLAGS=-O2 PKG_CONFIG_LIBDIR= \
     --disable-shared --enable-static --disable-openmpt123 --disable-examples --disable-tests \
     --disable-doxygen-doc --without-zlib --without-mpg123 --without-ogg --without-vorbis \
     --without-vorbisfile --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sdl2 \
     --without-sndfile --without-flac &&
   emmake make -j"$jobs" && emmake make install)
}

for package in libsdl2 libopenmpt; do
  source_dir=$("$root/scripts/debian-source.sh" "$package")
  version_dir=$(basename "$(dirname "$source_dir")")  # <package>-<Debian version>
  prefix=$cache/$target/$version_dir
  if [ ! -d "$prefix" ]; then
    echo "build-deps-web: building $version_dir for $target (a few minutes, once)" >&2
    work=$cache/$target/.building-$version_dir-$$
    rm -rf "$work"
    mkdir -p "$work/build"
    if ! DESTDIR=$work/stage "build_$package" "$source_dir" "$work/build" "$prefix" >&2; then
      rm -rf "$work"
      echo "build-deps-web: $version_dir failed for $target" >&2
      exit 1
    fi
    mv -T "$work/stage$prefix" "$prefix" 2>/dev/null || [ -d "$prefix" ]  # another build may have won the race
    rm -rf "$work"
  fi
  echo "$prefix"
done
