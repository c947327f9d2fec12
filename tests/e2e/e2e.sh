#!/usr/bin/env bash
# The show as a person meets it: a real X server, the question box answered
# from the keyboard, the window looked at, the show ended the ways a person ends it.
#   e2e.sh CASE SHOW XPROBE MEDIA_DIR
set -u
case_name=$1 show=$2 xprobe=$3 media=$4
source "$(dirname "$0")/lib.sh"
case $case_name in
window-escape)
  start_xvfb 1024x768
  start_show
  answer Escape
  expect_window_800x600_at_origin
  wait_for 20 cursor_is visible || fail "cursor hidden in a window"
  expect_drawing
  expect_picture
  key_to "Z_U OpenGl Base" a
  sleep 0.3
  kill -0 "$show_pid" || fail "another key ended the show"
  key_to "Z_U OpenGl Base" Escape
  expect_exit 0
  ;;
window-close)
  start_xvfb 1024x768
  start_show
  answer Escape
  expect_window_800x600_at_origin
  "$xprobe" close "$(window_id "Z_U OpenGl Base")"
  expect_exit 0
  ;;
fullscreen-escape)
  start_xorg
  start_show
  answer Return
  expect_window_800x600_at_origin
  expect_mode 800x600
  wait_for 20 cursor_is hidden || fail "cursor shown in full screen"
  expect_drawing
  key_to "Z_U OpenGl Base" Escape
  expect_exit 0
  expect_mode 1024x768
  ;;
fullscreen-800x600-screen)
  start_xvfb 800x600
  start_show
  answer Return
  expect_window_800x600_at_origin
  wait_for 20 cursor_is hidden || fail "cursor shown in full screen"
  key_to "Z_U OpenGl Base" Escape
  expect_exit 0
  ;;
fullscreen-signal)
  for sig in TERM INT; do
    start_xorg
    start_show
    answer Return
    expect_window_800x600_at_origin
    expect_mode 800x600
    kill -s "$sig" "$show_pid"
    expect_exit $((128 + $(kill -l "$sig")))
    expect_mode 1024x768
    kill "$server_pid"; wait "$server_pid" 2>/dev/null; server_pid=
  done
  ;;
fullscreen-show-ends)
  # The whole show on a clock running 25 times faster: it ends by itself with 0
  # and gives the desktop its mode back.
  start_xorg
  start_show faketime -f '+0 x25'
  answer Return
  expect_window_800x600_at_origin
  expect_mode 800x600
  for _ in $(seq 300); do kill -0 "$show_pid" 2>/dev/null || break; sleep 0.1; done
  expect_exit 0
  expect_mode 1024x768
  ;;
music)
  # The tune plays through the audio output at 44100 Hz; SDL's disk driver
  # stands in for a sound card and keeps what it was given.
  start_xvfb 1024x768
  start_show env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
  answer Escape
  expect_window_800x600_at_origin
  sleep 3
  key_to "Z_U OpenGl Base" Escape
  expect_exit 0
  [ -s "$work/audio.raw" ] || fail "nothing reached the audio output"
  level=$(audio_level "$work/audio.raw")
  [ "$level" -ge 100 ] || fail "the tune is silent (RMS $level)"
  ;;
silent-without-tune)
  # Without the tune the show runs all the same, silent, and still ends on Escape.
  mkdir "$work/media" && cp "$media"/* "$work/media/" && rm "$work/media/algar.xm"
  media=$work/media
  start_xvfb 1024x768
  start_show env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
  answer Escape
  expect_window_800x600_at_origin
  expect_drawing
  key_to "Z_U OpenGl Base" Escape
  expect_exit 0
  [ ! -s "$work/audio.raw" ] || [ "$(audio_level "$work/audio.raw")" -eq 0 ] || fail "sound without a tune"
  ;;
no-800x600-mode)
  start_xvfb 1024x768
  start_show
  answer Return
  wait_for 100 has_window "Error" || fail "no error box"
  press_until_gone "Error" Return
  expect_exit 1
  ;;
no-display)
  (cd "$media" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$show") >"$work/show.log" 2>&1 &
  show_pid=$!
  expect_exit 1
  grep -q "Full of screenshiiiet? (fullscreen?)" "$work/show.log" || fail "the question never reached the user"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "PASS: $case_name"
