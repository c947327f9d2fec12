#!/usr/bin/env bash
# Packs a build of the show into a Debian package: the build's install rules
# fill a tree under /usr, then what debhelper would do to it (strip the
# programs, compress the manual pages and the changelog, work out the
# libraries the programs need with dpkg-shlibdeps, list the files' sums) and
# dpkg-deb packs it.
#   make-deb.sh BUILD_DIR OUT_DIR   ->   OUT_DIR/zu-show_<version>_<arch>.deb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2" && out=$(cd "$2" && pwd)
changelog=$here/changelog
package=$(dpkg-parsechangelog -l "$changelog" -S Source)
version=$(dpkg-parsechangelog -l "$changelog" -S Version)
arch=$(dpkg --print-architecture)
# Every time in the package is the changelog's: the same tree gives the same bytes.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$changelog" -S Timestamp)
export SOURCE_DATE_EPOCH

stage=$build/deb-stage
root=$stage/debian/$package
rm -rf "$stage"
mkdir -p "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >"$stage/install.log"

programs=()
while IFS= read -r -d '' file; do
  [ "$(od -An -tx1 -N4 "$file")" = " 7f 45 4c 46" ] && programs+=("$file")  # ELF
done < <(find "$root" -type f -print0)
[ ${#programs[@]} -gt 0 ] || { echo "make-deb: no program in the install tree" >&2; exit 1; }
for program in "${programs[@]}"; do
  strip --remove-section=.comment --remove-section=.note "$program"
done
find "$root/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +
gzip -9n "$root/usr/share/doc/$package/changelog.Debian"
install -D -m 0644 "$here/lintian-overrides" "$root/usr/share/lintian/overrides/$package"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod go-w,u+rw,a+r {} +

# dpkg-shlibdeps reads the package names from a debian/control of its own, and
# knows the tree by its DEBIAN folder.
mkdir -p "$root/DEBIAN"
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$package" "$package" >"$stage/debian/control"
depends=$(cd "$stage" && dpkg-shlibdeps -O "${programs[@]#"$stage/"}" | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "make-deb: dpkg-shlibdeps found no library" >&2; exit 1; }
# SDL opens libGL.so.1 itself, at run time, for the window's GL context: no
# program links it, so dpkg-shlibdeps cannot see it. libgl1 brings Mesa's GLX
# and its drivers (or another vendor's), which draw the show.
depends="$depends, libgl1"

# Installed-Size as dpkg-gencontrol counts it: KiB per file rounded up, one per folder.
size=$(find "$root/usr" \( -type f -printf '%s\n' \) -o \( -printf '0\n' \) |
       awk '{ kib += $1 == 0 ? 1 : int(($1 + 1023) / 1024) } END { print kib }')
sed -e "s#@VERSION@#$version#" -e "s#@ARCH@#$arch#" -e "s#@SIZE@#$size#" -e "s#@DEPENDS@#$depends#" \
    -e "s#@MAINTAINER@#$(dpkg-parsechangelog -l "$changelog" -S Maintainer)#" "$here/control.in" >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

deb=$out/${package}_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
