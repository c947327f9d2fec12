#!/usr/bin/env bash
# Builds the .deb of this build and checks it: lintian finds no error and no
# warning (overrides only with a comment), the metainfo passes appstreamcli,
# and the package holds what a Debian user expects, with its libraries found
# by name.
#   package_test.sh BUILD_DIR      (exit 77: skipped, no lintian here)
set -uo pipefail
build=$1
command -v lintian >/dev/null || { echo "SKIP: no lintian (scripts/deps.sh package installs it)"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

cmake --build "$build" --target deb >"$build/deb.log" 2>&1 || { tail -20 "$build/deb.log"; fail "no package built"; }
deb=$(ls "$build"/dist/*.deb) || fail "no .deb in $build/dist"

# An error or a warning fails; the overrides are checked below.
lintian --fail-on error,warning "$deb" 2>&1 | tee "$build/lintian.log"
status=${PIPESTATUS[0]}
[ "$status" = 0 ] || fail "lintian exit $status, $(grep -cE '^[EW]:' "$build/lintian.log") errors and warnings"

files=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|')
for path in /usr/games/zu-show /usr/games/zu-show-capture /usr/lib/games/zu-show/show \
            /usr/share/games/zu-show/algar.xm /usr/share/man/man6/zu-show.6.gz /usr/share/man/man6/zu-show-capture.6.gz \
            /usr/share/doc/zu-show/copyright /usr/share/doc/zu-show/changelog.Debian.gz \
            /usr/share/icons/hicolor/48x48/apps/zu-show.png; do
  grep -qx -- "$path" <<<"$files" || fail "the package lacks $path"
done
desktop=$(grep '^/usr/share/applications/.*\.desktop$' <<<"$files") || fail "no desktop entry"
metainfo=$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' <<<"$files") || fail "no metainfo"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
# Each override comes after a comment that says why.
overrides=$tree/usr/share/lintian/overrides/zu-show
if [ -f "$overrides" ]; then
  awk '/^#/ { said = 1; next } NF && !said { print; bad = 1 } { said = 0 } END { exit bad }' "$overrides" >"$build/bare.txt" ||
    fail "override without a comment: $(cat "$build/bare.txt")"
fi
# The manual page lists every option the show's --help lists: it is made from it.
for option in $("$build/src/shell/show" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p'); do
  zcat "$tree/usr/share/man/man6/zu-show.6.gz" | grep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" ||
    fail "the manual page lacks $option"
done
appstreamcli validate --no-net "$tree$metainfo" || fail "appstreamcli refuses $metainfo"
grep -q "<launchable type=\"desktop-id\">${desktop##*/}</launchable>" "$tree$metainfo" ||
  fail "the metainfo does not launch ${desktop##*/}"
for key in Name Comment Categories Keywords Icon Exec; do
  grep -q "^$key=." "$tree$desktop" || fail "the desktop entry has no $key"
done
# The launcher runs the show in the media folder, with the arguments given.
grep -q '^cd "/usr/share/games/zu-show"' "$tree/usr/games/zu-show" || fail "the launcher does not enter the media"
grep -q '^exec "/usr/lib/games/zu-show/show" "\$@"$' "$tree/usr/games/zu-show" || fail "the launcher does not pass its arguments on"
depends=$(dpkg-deb -f "$deb" Depends)
# libgl1 is not linked: SDL opens it for the window's context.
for library in libsdl2-2.0-0 libopenmpt0 libglu1-mesa libgl1; do
  grep -qE "(^|[,|] *)$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = ffmpeg ] || fail "ffmpeg is not recommended"
echo "PASS: $(basename "$deb"), $(stat -c %s "$deb") bytes, $(wc -l <<<"$files") entries"
