#!/usr/bin/env bash
# The show as a person meets it: a real X server, the question box answered
# from the keyboard, the window looked at, the show ended the ways a person ends it.
#   e2e.sh CASE SHOW XPROBE MEDIA_DIR
set -u
case_name=$1 show=$2 xprobe=$3 media=$4
work=$(mktemp -d)
server_pid= show_pid=
cleanup() {
  [ -n "$show_pid" ] && kill -9 "$show_pid" 2>/dev/null
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  # E2E_KEEP=DIR keeps the screenshots for a person to look at.
  [ -n "${E2E_KEEP:-}" ] && mkdir -p "$E2E_KEEP" && cp "$work"/*.png "$E2E_KEEP"/ 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/show.log" ] && sed 's/^/  show: /' "$work/show.log"; exit 1; }

# An X server with only an 800x600 screen, or none at all with such a mode.
start_xvfb() {  # WIDTHxHEIGHT [SERVER-OPTION...]
  # -noreset: every tool here (and each message box) is a client that comes
  # and goes; a server resetting between them would greet the show half-made.
  local size=$1; shift
  Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp "$@" 3>"$work/display" >"$work/x.log" 2>&1 &
  server_pid=$!
  use_display
}
# The server picks a free display number and writes it to fd 3.
use_display() {
  wait_for 100 test -s "$work/display" || fail "no X server: $(cat "$work/x.log")"
  export DISPLAY=:$(head -1 "$work/display")
  wait_for 50 "$xprobe" mode || fail "X server $DISPLAY does not answer"
}
# A server with a real display-mode list (1024x768 desktop, 800x600 offered), so
# switching to full screen and back can be watched.
start_xorg() {
  cat >"$work/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-100.0
  VertRefresh 5.0-200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
  Modeline "800x600" 38.25 800 832 912 1024 600 603 607 624 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1024x768" "800x600"
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
CONF
  : >"$work/display"
  Xorg -displayfd 3 -config "$work/xorg.conf" -noreset -nolisten tcp -logfile "$work/xorg.log" \
    3>"$work/display" >"$work/x.log" 2>&1 &
  server_pid=$!
  use_display
  expect_mode 1024x768
}

wait_for() {  # TENTHS COMMAND...: retry until the command succeeds
  local tries=$1; shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
window_id() { xwininfo -root -tree 2>/dev/null | grep "\"$1\"" | awk '{print $1}' | head -1; }
has_window() { [ -n "$(window_id "$1")" ]; }
key_to() { xdotool key --window "$(window_id "$1")" "$2"; }

start_show() {  # [PREFIX...]: runs the show in the media folder
  (cd "$media" && exec "$@" "$show") >"$work/show.log" 2>&1 &
  show_pid=$!
}
exit_code=
wait_show_exit() {  # waits up to 20 s for the show to end; sets exit_code
  exit_code=timeout
  for _ in $(seq 200); do
    kill -0 "$show_pid" 2>/dev/null || { wait "$show_pid"; exit_code=$?; show_pid=; return; }
    sleep 0.1
  done
}
# A key sent before a box listens for keys is lost: press until the box goes.
press_until_gone() {  # WINDOW-NAME KEY
  for _ in $(seq 40); do
    key_to "$1" "$2" 2>/dev/null
    wait_for 3 no_window "$1" && return
  done
  fail "the box \"$1\" never took $2"
}
no_window() { ! has_window "$1"; }
answer() {  # Return (Yes) or Escape (No) on the start-up question
  wait_for 100 has_window "Z_U Base System" || fail "no start-up question"
  press_until_gone "Z_U Base System" "$1"
}
expect_window_800x600_at_origin() {
  wait_for 100 has_window "Z_U OpenGl Base" || fail "no show window: $(xwininfo -root -tree 2>&1 | grep -E '0x|error')"
  local info
  info=$(xwininfo -id "$(window_id "Z_U OpenGl Base")")
  grep -q 'Absolute upper-left X:  0' <<<"$info" && grep -q 'Absolute upper-left Y:  0' <<<"$info" \
    && grep -q 'geometry 800x600+' <<<"$info" || fail "window is not 800x600 at (0, 0): $info"
}
expect_drawing() {  # the idle loop keeps drawing: CPU time keeps growing
  local t0 t1
  t0=$(awk '{print $14 + $15}' "/proc/$show_pid/stat")
  sleep 1
  t1=$(awk '{print $14 + $15}' "/proc/$show_pid/stat")
  [ $((t1 - t0)) -ge 10 ] || fail "the show is not drawing (cpu ticks $t0 -> $t1)"
}
expect_picture() {  # the window shows the scene, not a black frame
  local mean
  import -window "$(window_id "Z_U OpenGl Base")" "$work/shot.png" 2>/dev/null || fail "no screenshot"
  mean=$(convert "$work/shot.png" -colorspace Gray -format '%[fx:int(mean*1000)]' info:)
  [ "$mean" -ge 20 ] || fail "the window is black (mean brightness $mean/1000)"
}
audio_level() {  # RMS of 16-bit stereo samples written by SDL's disk audio driver
  /usr/bin/python3 -c '
import array, sys
samples = array.array("h", open(sys.argv[1], "rb").read()[: 44100 * 4 * 2])
print(int((sum(x * x for x in samples) / max(len(samples), 1)) ** 0.5))' "$1"
}
# A message box that could not be shown: its text, then why, on stderr.
expect_told_why() {  # TEXT CAUSE-PATTERN
  grep -A1 -F "$1" "$work/show.log" | sed -n 2p | grep -q "^(no message box: .*$2" \
    || fail "no reason after \"$1\" naming $2"
}
expect_mode() { [ "$("$xprobe" mode)" = "$1" ] || fail "display is $("$xprobe" mode), expected $1"; }
expect_exit() { wait_show_exit; [ "$exit_code" = "$1" ] || fail "exit code $exit_code, expected $1"; }
cursor_is() { [ "$("$xprobe" cursor "$(window_id "Z_U OpenGl Base")")" = "$1" ]; }

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
  # A plain start says at most one thing (no sound card here: that it is silent).
  [ "$(wc -l <"$work/show.log")" -le 1 ] || fail "more than one line on stderr"
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
window-whole-show)
  # The whole show in real time, as a person watches it in a window: a picture
  # in each scene, the tune from the start, no memory growing, the end by itself.
  start_xvfb 1024x768
  start_show env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
  answer Escape
  expect_window_800x600_at_origin
  # The show's clock starts once its media are loaded, within a second or so of
  # the window: every shot is taken well inside its scene's seconds.
  now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
  opened=$(now_ms)
  at() {  # SECOND: sleeps until that many seconds after the window opened
    local wait=$(( opened + $1 * 1000 - $(now_ms) ))
    [ "$wait" -gt 0 ] && sleep "$((wait / 1000)).$(printf %03d $((wait % 1000)))"
  }
  rss() { awk '/^VmRSS/ {print $2}' "/proc/$show_pid/status"; }
  shots=()
  for second in 10 23 40 60 74 90 150 190 220; do
    at "$second"
    kill -0 "$show_pid" 2>/dev/null || fail "the show ended before second $second"
    case $second in
    60) rss60=$(rss) ;;
    220) rss220=$(rss); continue ;;
    esac
    import -window "$(window_id "Z_U OpenGl Base")" "$work/at-$second.png" 2>/dev/null || fail "no screenshot at $second"
    shots+=("$work/at-$second.png")
  done
  for _ in $(seq 150); do kill -0 "$show_pid" 2>/dev/null || break; sleep 0.1; done
  expect_exit 0
  lasted=$(( $(now_ms) - opened ))
  echo "the show ran $lasted ms; memory $rss60 kB at second 60, $rss220 kB at second 220"
  [ "$lasted" -ge 225000 ] && [ "$lasted" -lt 235000 ] || fail "the show lasted $lasted ms"
  [ $((rss220 - rss60)) -le 6144 ] || fail "memory grew from $rss60 kB to $rss220 kB"
  /usr/bin/python3 - "$work/audio.raw" "${shots[@]}" <<'PY' || fail "pictures or tune wrong"
import array, itertools, sys
from PIL import Image, ImageChops, ImageStat
audio, shots = sys.argv[1], sys.argv[2:]
pictures = [Image.open(p).convert("RGB") for p in shots]
for path, picture in zip(shots, pictures):
    mean = sum(ImageStat.Stat(picture).mean) / 3
    print(f"{path.rsplit('/', 1)[1]}: mean {mean:.1f}")
    assert mean > 8, f"{path} is black"
for (a, pa), (b, pb) in itertools.combinations(zip(shots, pictures), 2):
    difference = sum(ImageStat.Stat(ImageChops.difference(pa, pb)).mean) / 3
    assert difference > 8, f"{a} and {b} look the same ({difference:.1f})"
# The tune from half a second on: every second of the first half minute sounds.
samples = array.array("h", open(audio, "rb").read()[: 44100 * 4 * 30])
for second in range(1, 30):
    window = samples[second * 88200 - 44100 : (second + 1) * 88200 - 44100]
    level = (sum(x * x for x in window) / len(window)) ** 0.5
    assert level > 300, f"silence at second {second} (RMS {level:.0f})"
PY
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
  expect_told_why "Full of screenshiiiet? (fullscreen?)" "X11 display"
  ;;
no-fonts)
  # A server without the core fonts SDL's box is drawn with (a machine lacking
  # xfonts-base): the question and the refusal reach stderr, each with its cause.
  start_xvfb 1024x768 -fp built-ins
  start_show
  expect_exit 1
  expect_told_why "Full of screenshiiiet? (fullscreen?)" "font"
  expect_told_why "Display Mode Not Compatible" "font"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "PASS: $case_name"
