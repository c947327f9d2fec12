#!/usr/bin/env bash
# Builds the show's libraries (SDL2, libopenmpt) for a cross target from
# Debian's sources, once, and prints one install prefix per line:
#
#   scripts/build-deps.sh mingw64  ->  $SHOW_DEPS_CACHE/mingw64/libsdl2-2.26.5+dfsg-1
#                                      $SHOW_DEPS_CACHE/mingw64/libopenmpt-0.6.9-1
#   scripts/build-deps.sh web      ->  $SHOW_DEPS_CACHE/web/...
#
# Each prefix (include/, lib/) is keyed by the target and the package's Debian
# version; it is built in a temporary folder beside it and renamed when
# complete, so a build cut short is never mistaken for a finished one, and CI
# and later builds reuse it. Build logs go to stderr.
#
# A target is a few settings in the case below: how to run CMake and configure
# for it, and what each package needs there.
set -euo pipefail
target=${1:?usage: build-deps.sh TARGET (mingw64 or web)}
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${SHOW_DEPS_CACHE:-$HOME/.cache/show-deps}
jobs=$(nproc)

case $target in
mingw64)
  host=x86_64-w64-mingw32
  cmake_for_target() { cmake "$@" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"; }
  configure_for_target() {
    "$@" --host=$host CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip
  }
  make_for_target() { make "$@"; }
  # Static only: the show links everything in and needs no DLL of its own.
  sdl2_flags=(-DSDL_SHARED=OFF -DSDL_STATIC=ON)
  openmpt_flags=()
  ;;
web)
  # Debian's Emscripten runs its JavaScript tools with whatever node is first
  # on the PATH; one installed from elsewhere does not see Debian's modules.
  export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
  # configure runs its test programs under node; Emscripten 3.1.6's loader
  # takes the fetch() of a newer node for a browser's and cannot load them.
  export NODE_OPTIONS=--no-experimental-fetch
  cmake_for_target() { emcmake cmake "$@"; }
  configure_for_target() { emconfigure "$@"; }
  make_for_target() { emmake make "$@"; }
  # No threads: the page runs the show on the browser's main thread. (SDL2's
  # own Emscripten port would be downloaded; Debian's source needs no network.)
  sdl2_flags=(-DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_PTHREADS=OFF)
  openmpt_flags=()
  ;;
*)
  echo "build-deps: unknown target $target (known: mingw64, web)" >&2
  exit 2
  ;;
esac

# Each package builds for its final PREFIX and installs under the staging
# folder $DESTDIR, so that nothing appears at PREFIX before it is whole. Steps
# are chained with &&: a function run under `if` ignores set -e.
build_libsdl2() {  # SOURCE BUILD PREFIX
  cmake_for_target -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$3" \
    -DSDL_TEST=OFF "${sdl2_flags[@]}" &&
  cmake --build "$2" -j"$jobs" &&
  cmake --install "$2"
}

build_libopenmpt() {  # SOURCE BUILD PREFIX
  # Only the library: no player, no codecs beyond the tracker formats.
  (cd "$2" && configure_for_target "$1/configure" --prefix="$3" CFLAGS=-O2 CXXFLAGS=-O2 PKG_CONFIG_LIBDIR= \
     --disable-shared --enable-static --disable-openmpt123 --disable-examples --disable-tests \
     --disable-doxygen-doc --without-zlib --without-mpg123 --without-ogg --without-vorbis \
     --without-vorbisfile --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sdl2 \
     --without-sndfile --without-flac "${openmpt_flags[@]}" &&
   make_for_target -j"$jobs" && make_for_target install)
}

for package in libsdl2 libopenmpt; do
  source_dir=$("$root/scripts/debian-source.sh" "$package")
  version_dir=$(basename "$(dirname "$source_dir")")  # <package>-<Debian version>
  prefix=$cache/$target/$version_dir
  if [ ! -d "$prefix" ]; then
    echo "build-deps: building $version_dir for $target (a few minutes, once)" >&2
    work=$cache/$target/.building-$version_dir-$$
    rm -rf "$work"
    mkdir -p "$work/build"
    if ! DESTDIR=$work/stage "build_$package" "$source_dir" "$work/build" "$prefix" >&2; then
      rm -rf "$work"
      echo "build-deps: $version_dir failed for $target" >&2
      exit 1
    fi
    mv -T "$work/stage$prefix" "$prefix" 2>/dev/null || [ -d "$prefix" ]  # another build may have won the race
    rm -rf "$work"
  fi
  echo "$prefix"
done
