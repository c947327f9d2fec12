#!/usr/bin/env bash
# zu-show-capture's manual page, written by help2man from capture's --help, so
# that its options are listed in one place: the program.
#   capture-manpage.sh CAPTURE OUT VERSION
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
capture=$1 out=$2 version=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# help2man names the page after the file it runs.
ln -s "$capture" "$tmp/zu-show-capture"
# Dated by the changelog's latest entry, so that every build writes the same page.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$here/changelog" -S Timestamp) \
  help2man --no-info --section=6 --manual=Games --version-string="$version" \
    --name="render the Z_U show offscreen: PNG frames, a contact sheet, WAV, MP4" \
    --include="$here/capture-manpage.h2m" --output="$tmp/page" "$tmp/zu-show-capture"
sed 's/^usage: capture /usage: zu\\-show\\-capture /' "$tmp/page" >"$out"
