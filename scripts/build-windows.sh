#!/usr/bin/env bash
# Cross-builds the show for 64-bit Windows with Debian's MinGW-w64: show.exe
# and the tools that make sense there (mediagen.exe, inspect-media.exe,
# bench_normals.exe), with the Linux build's optimisation, statically linked
# and stripped, in BUILD_DIR (default build-windows/). SDL2 and libopenmpt come
# from the dependency cache (scripts/build-deps.sh: minutes the first time,
# then nothing).
#   scripts/build-windows.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows}

prefixes=$("$root/scripts/build-deps.sh" mingw64)
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSHOW_WERROR=ON -DSHOW_DEPS_PREFIXES="${prefixes//$'\n'/;}"
cmake --build "$build" -j"$(nproc)"
