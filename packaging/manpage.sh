#!/usr/bin/env bash
# A program's manual page, written by help2man from the program's --help, so
# that its options are listed in one place: the program.
#   manpage.sh PROGRAM PAGE-NAME OUT VERSION "WHAT IT IS" INCLUDE
# PAGE-NAME is the command the page is for (zu-show, zu-show-capture); the
# usage line names it in place of the program's own file name. INCLUDE holds
# the page's sections that --help does not (help2man's include file).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(readlink -f "$1") page=$2 out=$3 version=$4 name=$5 include=$6
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# help2man names the page after the file it runs.
ln -s "$program" "$tmp/$page"
# Dated by the changelog's latest entry, so that every build writes the same page.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$here/changelog" -S Timestamp) \
  help2man --no-info --section=6 --manual=Games --version-string="$version" \
    --name="$name" --include="$include" --output="$tmp/page" "$tmp/$page"
sed "s/^usage: $(basename "$program") /usage: ${page//-/\\\\-} /" "$tmp/page" >"$out"
