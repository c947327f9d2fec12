#!/usr/bin/env bash
# Builds the show's libraries (SDL2, libopenmpt) for a cross target from
# Debian's sources, once, and prints one install prefix per line:
#
#   scripts/build-deps.sh mingw64  ->  $SHOW_DEPS_CACHE/mingw64/libsdl2-2.26.5+dfsg-1-<key>
#                                      $SHOW_DEPS_CACHE/mingw64/libopenmpt-0.6.9-1-<key>
#   scripts/build-deps.sh web      ->  $SHOW_DEPS_CACHE/web/...
#
# Each prefix (include/, lib/) is named by the package's Debian version and a
# key: a hash of everything else its build depends on (the target's commands,
# compilers and toolchain file, the package's own steps and flags), so a
# change of any of them builds anew instead of reusing stale libraries. It is
# built in a temporary folder beside it and renamed when complete, so a build
# cut short is never mistaken for a finished one, and CI and later builds
# reuse it. Build logs go to stderr; a failure says which step failed.
#
# A target is a few settings in the case below: how to run CMake and configure
# for it, its compilers, and what each package needs there. Run by
# build-windows.sh and build-web.sh (and so by the tests that need their
# builds), never by the show's own build: the first run fetches the sources.
set -euo pipefail
target=${1:?usage: build-deps.sh TARGET (mingw64 or web)}
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${SHOW_DEPS_CACHE:-$HOME/.cache/show-deps}
jobs=$(nproc)

case $target in
mingw64)
  host=x86_64-w64-mingw32
  toolchain=$root/cmake/mingw-w64.cmake
  cmake_for_target() { cmake "$@" -DCMAKE_TOOLCHAIN_FILE="$toolchain"; }
  configure_for_target() {
    "$@" --host=$host CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip
  }
  make_for_target() { make "$@"; }
  compilers() { "$host-gcc-posix" --version && "$host-g++-posix" --version; }
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
  compilers() { emcc --version; }
  # The toolchain file emcmake passes to CMake.
  toolchain=$(dirname "$(readlink -f "$(command -v emcc)")")/cmake/Modules/Platform/Emscripten.cmake
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
# are chained with &&: a function run before || ignores set -e.
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

# What a package's build depends on besides its source (which the Debian
# version names): the target's commands, compilers and toolchain file, the
# package's steps and flags. declare prints the functions without their
# comments; the job count and the checkout's path are no part of it.
build_key() {  # PACKAGE
  local flags=${1#lib}_flags
  { echo "$target"; declare -p host 2>/dev/null || true
    declare -f cmake_for_target configure_for_target make_for_target "build_$1"; declare -p "$flags"
    cat "$toolchain"; compilers; } | sha256sum | cut -c1-16
}

# Every way out, a failure included, removes the unfinished build and says
# what failed.
work= step=
finish() {
  local status=$?
  [ -z "$work" ] || rm -rf "$work"
  case $status in
  0) ;;
  130 | 143) echo "build-deps: stopped by a signal while ${step:-setting up} for $target" >&2 ;;
  *) echo "build-deps: ${step:-setting up} failed for $target (exit status $status)" >&2 ;;
  esac
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

for package in libsdl2 libopenmpt; do
  step="fetching the source of $package"
  source_dir=$("$root/scripts/debian-source.sh" "$package")
  version_dir=$(basename "$(dirname "$source_dir")")  # <package>-<Debian version>
  step="hashing the build inputs of $version_dir"
  prefix=$cache/$target/$version_dir-$(build_key "$package")
  if [ ! -d "$prefix" ]; then
    echo "build-deps: building $version_dir for $target into $prefix (a few minutes, once)" >&2
    work=$cache/$target/.building-$(basename "$prefix")-$$
    step="building $version_dir"
    rm -rf "$work"
    mkdir -p "$work/build"
    DESTDIR=$work/stage "build_$package" "$source_dir" "$work/build" "$prefix" >&2 || exit
    step="installing $version_dir into $prefix"
    [ -d "$work/stage$prefix" ] || { echo "build-deps: nothing was installed under $work/stage$prefix" >&2; exit 1; }
    # Another build of the same key may have won the race: its prefix is as good.
    mv -T "$work/stage$prefix" "$prefix" 2>/dev/null || [ -d "$prefix" ]
    rm -rf "$work"
    work=
  fi
  echo "$prefix"
done
