#!/usr/bin/env bash
# Fetches the Debian source of a package once into the dependency cache and
# prints the folder it unpacked into. The cross builds (Windows, the web) build
# SDL2 and libopenmpt from these sources, as Debian ships no builds of them for
# those targets.
#
#   scripts/debian-source.sh libsdl2      ->  $SHOW_DEPS_CACHE/src/libsdl2-2.26.5+dfsg-1/libsdl2-2.26.5+dfsg
#
# The cache ($SHOW_DEPS_CACHE, default ~/.cache/show-deps) lies outside the
# clone and is keyed by the Debian version, so a new version is fetched anew and
# an old one is never reused by mistake. Needs root the first time (it adds the
# machine's own Debian mirror as a deb-src source).
set -euo pipefail
package=${1:?usage: debian-source.sh PACKAGE}
cache=${SHOW_DEPS_CACHE:-$HOME/.cache/show-deps}

# Source lines copied from the machine's own binary Debian entries, so the
# mirror is whatever this machine already uses.
enable_sources() {
  local list=/etc/apt/sources.list.d/show-deb-src.sources
  [ -f "$list" ] && return 0
  local entries=()
  shopt -s nullglob
  for file in /etc/apt/sources.list.d/*.sources; do entries+=("$file"); done
  [ ${#entries[@]} -gt 0 ] || { echo "debian-source: no deb822 Debian sources found" >&2; return 1; }
  awk 'BEGIN { RS = ""; ORS = "\n\n" }
       /(^|\n)Types:([^\n]* )?deb( |\n|$)/ && /debian/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
    "${entries[@]}" > "$list"
  [ -s "$list" ] || { rm -f "$list"; echo "debian-source: no Debian entry to copy" >&2; return 1; }
  apt-get update >&2
}

version_of() { { apt-cache showsrc "$1" 2>/dev/null || true; } | awk '/^Version:/ { print $2; exit }'; }

version=$(version_of "$package")
if [ -z "$version" ]; then
  enable_sources
  version=$(version_of "$package")
fi
[ -n "$version" ] || { echo "debian-source: no source package $package" >&2; exit 1; }

dest=$cache/src/$package-$version
if [ ! -f "$dest/.complete" ]; then
  rm -rf "$dest"
  mkdir -p "$dest"
  (cd "$dest" && apt-get source --download-only "$package=$version" >&2 &&
   dpkg-source --no-check -x ./*.dsc >&2) || { rm -rf "$dest"; exit 1; }
  touch "$dest/.complete"
fi
find "$dest" -mindepth 1 -maxdepth 1 -type d | head -n 1
