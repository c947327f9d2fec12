#!/usr/bin/env bash
# The Windows build as a person meets it, under Wine on an X server of its
# own: the question box read through Windows itself (winprobe.exe), answered
# from the keyboard, the window measured and looked at, the program ended the
# ways a person ends it; and the tools' output against the Linux build's.
#   windows.sh CASE WINDOWS_BUILD MEDIA_DIR XPROBE WINPROBE INSPECT_MEDIA MEDIAGEN WINEPREFIX
# WINDOWS_BUILD is scripts/build-windows.sh's folder; INSPECT_MEDIA and
# MEDIAGEN are the Linux programs; WINEPREFIX is made by the "prefix" case.
set -u
case_name=$1 windows_build=$2 media=$3 xprobe=$4 winprobe=$5 inspect_media=$6 mediagen=$7
export WINEPREFIX=$8
source "$(dirname "$0")/../e2e/lib.sh"
begin_case
show=$windows_build/src/shell/show.exe
# Quiet, and no offer to install .NET or a browser engine should Wine update the prefix.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Every Windows process of this prefix ends with the test: a Wine left
# behind would hold on to this test's X server.
cleanup_hook() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }

# The show in the media folder under Wine. Wine's server and desktop process
# start first on the real clock: under a fast one their own timeouts would
# run out sooner.
launch() {  # [PREFIX...]
  [[ " $* " == *" faketime "* ]] && probe frame "no such window"
  start_show "$@" wine
}
start_wine_show() { launch env "$@"; }  # [ENV=VALUE...]
# Wine's output always goes to a file: the wineserver and desktop process a
# first Wine program starts inherit its output, and a pipe would never end.
probe() {
  wine "$winprobe" "$@" >"$work/probe.txt" 2>/dev/null || return
  tr -d '\r' <"$work/probe.txt"
}
# Windows' own view: the client area's WIDTHxHEIGHT+X+Y, the frame's, the texts.
client_of() { probe client "$1"; }
expect_client() {  # TITLE GEOMETRY
  local got
  got=$(client_of "$1")
  [ "$got" = "$2" ] || fail "\"$1\" has the client area $got, expected $2"
}
expect_client_size() {  # WIDTHxHEIGHT of the show window's client area
  local got
  got=$(client_of "$ShowTitle")
  [[ $got == "$1"+* ]] || fail "the show window's client area is $got, expected $1"
}
expect_texts() {  # TITLE LINE...: the box shows each line as one of its texts
  local title=$1 texts line
  shift
  wait_for 50 probe texts "$title" || fail "Windows shows no \"$title\""
  texts=$(probe texts "$title")
  for line in "$@"; do
    grep -qxF "$line" <<<"$texts" || fail "\"$title\" does not show \"$line\"; it shows: $texts"
  done
}
expect_windows_picture() {  # the client area on the screen is not black
  import -window root -crop "$(client_of "$ShowTitle")" "$work/shot.png" 2>/dev/null || fail "no screenshot"
  expect_lit "$work/shot.png" >/dev/null
}
# Boxes follow each other under one title: the one Windows shows now, found
# by its mapped X window, is answered until that window goes.
box_shown() {  # TITLE: sets box to its X window
  local id
  box=
  probe texts "$1" >/dev/null || return
  for id in $(xwininfo -root -tree 2>/dev/null | grep "\"$1\"" | awk '{print $1}'); do
    viewable "$id" && box=$id && return
  done
  return 1
}
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
box_gone() { ! viewable "$1"; }
dismiss() {  # WINDOW-ID
  for _ in $(seq 40); do
    key_to_id "$1" Return 2>/dev/null
    wait_for 3 box_gone "$1" && return
  done
  fail "the box $1 never took Return"
}
question() {  # the start-up question, read, then answered with KEY
  wait_for 150 has_window "$QuestionTitle" || fail "no start-up question"
  expect_texts "$QuestionTitle" "$QuestionText" "Yes" "No"
  press_until_gone "$QuestionTitle" "$1"
}
# The show window as Windows sees it; in a window (the title bar on the
# screen) or in full screen (no frame), 800x600 at (0, 0).
expect_show_window() {  # [window | full]
  wait_for 150 has_window "$ShowTitle" || fail "no show window"
  wait_for 50 probe client "$ShowTitle" || fail "Windows does not see the show window"
  case ${1:-} in
  window)
    expect_client_size 800x600
    [[ $(probe frame "$ShowTitle") == *+0+0 ]] || fail "the window's frame is not at (0, 0): $(probe frame "$ShowTitle")"
    ;;
  full)
    expect_client "$ShowTitle" "800x600+0+0"
    [ "$(probe frame "$ShowTitle")" = "800x600+0+0" ] || fail "the full-screen window has a frame"
    ;;
  esac
}
# What else the cases both suites run need of this one.
answer_question() { question "$1"; }
expect_show_picture() { expect_windows_picture; }
close_show_window() { probe close "$ShowTitle"; }
expect_box() { expect_texts "$1" "$2"; }
under_wine=true

run_shared_case "$case_name" && { echo "PASS: $case_name"; exit 0; }
case $case_name in
prefix)
  # One Wine prefix for all cases, made once (about half a minute): Wine's
  # own frames (Managed = N), so that no window manager is needed and closing
  # a window never waits for one.
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.show-ready" ] && { echo "PASS: $case_name"; exit 0; }
  rm -rf "$WINEPREFIX"
  start_xvfb 1024x768
  wineboot -i >"$work/show.log" 2>&1 || fail "wineboot failed"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$work/show.log" 2>&1 \
    || fail "cannot set the X11 driver's Managed value"
  wineserver -w
  touch "$WINEPREFIX/.show-ready"
  ;;
window-pace)
  # The limiter on Windows' own counter and sleep, as the Linux case: --window
  # asks nothing, and the opening scene's --stats line says at most 61 frames
  # a second (load can only lower it).
  start_xvfb 1024x768
  show_args=(--window --stats)
  opening_fps_in_window 10 wine
  below_or_at "$fps" 61 || fail "the opening scene at $fps frames a second"
  ;;
scaled)
  # --scaled on a 5:4 desktop: a full-screen window at the desktop's size, no
  # mode switch, the 4:3 picture across its width between black bars of 32
  # rows above and below; once drawn at 800x600, once at 1600x1200 and
  # filtered down, which --stats names.
  for scale in 1 2; do
    start_xvfb 1280x1024
    show_args=(--scaled --render-scale $scale --stats)
    start_wine_show
    expect_show_window
    covers_desktop() { [ "$(client_of "$ShowTitle")" = 1280x1024+0+0 ]; }
    wait_for 50 covers_desktop \
      || fail "the show window's client area is $(client_of "$ShowTitle"), not the desktop's 1280x1024+0+0"
    [ "$(probe frame "$ShowTitle")" = "1280x1024+0+0" ] || fail "the scaled window has a frame"
    expect_mode 1280x1024
    wait_for 20 cursor_is hidden || fail "cursor shown in the scaled full screen"
    sleep 3
    expect_drawing
    import -window root "$work/scaled.png" 2>/dev/null || fail "no screenshot"
    /usr/bin/python3 - "$work/scaled.png" <<'PY' || fail "not the picture scaled between bars"
import sys
from PIL import Image, ImageStat
screen = Image.open(sys.argv[1]).convert("RGB")
assert screen.size == (1280, 1024), screen.size
brightest = lambda box: max(max(band) for band in screen.crop(box).getextrema())
for top, bottom in ((0, 32), (992, 1024)):
    assert brightest((0, top, 1280, bottom)) == 0, f"rows {top}-{bottom - 1} not black"
for name, box in (("top row", (0, 32, 1280, 33)), ("bottom row", (0, 991, 1280, 992)),
                  ("first column", (0, 32, 1, 992)), ("last column", (1279, 32, 1280, 992))):
    assert brightest(box) > 32, f"the picture's {name} is black"
mean = sum(ImageStat.Stat(screen.crop((0, 32, 1280, 992))).mean) / 3
assert mean > 8, f"the picture is dark (mean {mean:.1f})"
PY
    key_to "$ShowTitle" Escape
    expect_exit 0
    expect_mode 1280x1024
    frame="frame $((800 * scale))x$((600 * scale)) (render scale $scale, asked)"
    tr -d '\r' <"$work/show.log" | grep -qx "$frame" || fail "--stats does not say \"$frame\": $(cat "$work/show.log")"
    kill "$server_pid"; wait "$server_pid" 2>/dev/null; server_pid=
  done
  ;;
no-media)
  # show.exe alone in its folder: every mesh is reported missing, one box
  # each, and then it runs, silent, and ends on Escape.
  mkdir "$work/alone" && cp "$show" "$work/alone/" && show=$work/alone/show.exe
  expected=$(cd "$media" && for mesh in *.3ds; do echo "Unable to find the file: $mesh!"; done | sort)
  media=$work/alone
  start_xvfb 1024x768
  start_wine_show SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
  question Escape
  count=$(wc -l <<<"$expected")
  reported=()
  for _ in $(seq "$count"); do
    box=
    for _ in $(seq 150); do box_shown "Error" && break; sleep 0.1; done
    [ -n "$box" ] || fail "${#reported[@]} error boxes, expected one per mesh: $expected"
    reported+=("$(probe texts "Error" | grep -v '^OK$')")
    dismiss "$box"
  done
  [ "$(printf '%s\n' "${reported[@]}" | sort)" = "$expected" ] \
    || fail "boxes: $(printf '[%s] ' "${reported[@]}"), expected one per mesh: $expected"
  # A box more would hold the loop up: the show would not be drawing.
  expect_show_window
  expect_client_size 800x600
  expect_drawing
  key_to "$ShowTitle" Escape
  expect_exit 0
  expect_no_sound "$work/audio.raw"
  ;;
media-decodes)
  # Every generated picture and mesh reads the same through the Windows
  # build's readers as through the Linux build's: the report and the decoded pixels.
  start_xvfb 1024x768
  checked=0
  for file in "$media"/*.tga "$media"/*.bmp "$media"/*.3ds; do
    [ -f "$file" ] || continue
    name=$(basename "$file")
    args=()
    case $name in *.tga|*.bmp) args=(--rgb) ;; esac
    (cd "$media" && "$inspect_media" "$name" ${args[@]+"${args[@]}" "$work/linux.rgb"}) >"$work/linux.txt" 2>&1 \
      || fail "Linux inspect-media failed on $name: $(cat "$work/linux.txt")"
    # Wine now and then returns from a start with no output at all (once in
    # some hundreds of starts here): such a run is tried once more.
    for _ in 1 2; do
      (cd "$work" && wine "$windows_build/tools/inspect-media/inspect-media.exe" "$file" \
         ${args[@]+"${args[@]}" windows.rgb}) >"$work/windows.out" 2>&1
      [ -s "$work/windows.out" ] && break
    done
    tr -d '\r' <"$work/windows.out" >"$work/windows.txt"
    # The reports differ only in the file names they were given.
    sed -i "s|$work/linux.rgb|OUT|; s|$file|$name|" "$work/linux.txt"
    sed -i "s|windows.rgb|OUT|; s|$file|$name|" "$work/windows.txt"
    diff "$work/linux.txt" "$work/windows.txt" >"$work/diff.txt" || fail "$name reads differently: $(cat "$work/diff.txt")"
    if [ ${#args[@]} -gt 0 ]; then
      cmp -s "$work/linux.rgb" "$work/windows.rgb" || fail "$name decodes to other pixels"
      rm -f "$work/linux.rgb" "$work/windows.rgb"
    fi
    checked=$((checked + 1))
  done
  [ "$checked" -ge 25 ] || fail "only $checked media files to compare in $media"
  echo "$checked files read alike"
  ;;
mediagen)
  # mediagen.exe makes the same media as the Linux mediagen, as far as the
  # systems' maths libraries allow: the pictures byte for byte (no text-mode
  # line ends, no other rounding), the meshes with the same objects, counts and
  # materials, the tune with the same structure and length. Their last bits
  # of sin, cos, exp and log differ, and so do a few mesh coordinates and
  # tune samples: the package takes the Linux mediagen's files.
  start_xvfb 1024x768
  "$mediagen" "$work/linux" >/dev/null || fail "Linux mediagen failed"
  (cd "$work" && wine "$windows_build/tools/mediagen/mediagen.exe" windows) >/dev/null 2>&1 \
    || fail "mediagen.exe failed"
  [ "$(ls "$work/linux")" = "$(ls "$work/windows")" ] || fail "other files: $(ls "$work/windows")"
  for file in "$work"/linux/*; do
    name=$(basename "$file")
    case $name in
    *.tga|*.bmp) cmp -s "$file" "$work/windows/$name" || fail "$name differs" ;;
    *.3ds)
      diff <("$inspect_media" "$file" | tail -n +2) <("$inspect_media" "$work/windows/$name" | tail -n +2) \
        >"$work/diff.txt" || fail "$name reads differently: $(cat "$work/diff.txt")" ;;
    *.xm)
      diff <(openmpt123 --info "$file" 2>&1 | grep -v '^Size') \
           <(openmpt123 --info "$work/windows/$name" 2>&1 | grep -v '^Size') >"$work/diff.txt" \
        || fail "$name differs in structure: $(cat "$work/diff.txt")" ;;
    *) fail "no comparison for $name" ;;
    esac
  done
  echo "$(ls "$work/linux" | wc -l) files alike"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "PASS: $case_name"
