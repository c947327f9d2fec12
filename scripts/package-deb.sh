#!/usr/bin/env bash
# Writes dist/zu-show_<version>_<arch>.deb and checks it with lintian: installs
# what is missing (deps.sh's groups run, tools and package), builds the show,
# capture and the media in build-deb/ with Debian's build flags (hardening
# included), for /usr, with capture reading the installed media, and packs
# them (packaging/make-deb.sh). Install it with: apt install ./dist/zu-show_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh run tools package

# CMake reads no CPPFLAGS: they go in front of the compilers' flags.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
  -DSHOW_CAPTURE_INSTALLED_MEDIA=ON \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)"
cmake --build build-deb -j"$(nproc)" --target deb
deb=$(ls build-deb/dist/*.deb)
mkdir -p dist
cp "$deb" dist/
lintian --fail-on error,warning "dist/${deb##*/}"
echo "dist/${deb##*/}"
