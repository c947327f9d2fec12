# The helpers of the end-to-end tests: an X server of their own, the program
# started in its media folder, windows found by name and keys sent to them,
# waits with deadlines, the exit code and the picture looked at. Sourced by
# e2e.sh (the Linux show), ../windows/windows.sh (the Windows show under Wine)
# and scripts/fresh-check.sh (the README's commands in a fresh root). A case
# calls begin_case first; the sourcing script sets show and media (xprobe,
# where it has one) and may define cleanup_hook.
# The captions of the show's window and of its start-up question, as the
# windows are found by them, and the question's text. (The page's tests read
# them here too.)
ShowTitle="Z_U OpenGl Base"
QuestionTitle="Z_U Base System"
QuestionText="Full of screenshiiiet? (fullscreen?)"
server_pid= show_pid=
begin_case() {  # a folder of the case's own, emptied with its processes on the way out
  work=$(mktemp -d)
  trap cleanup EXIT
}
cleanup() {
  [ -n "$show_pid" ] && kill -9 "$show_pid" 2>/dev/null
  declare -F cleanup_hook >/dev/null && cleanup_hook
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  # E2E_KEEP=DIR keeps the screenshots for a person to look at.
  [ -n "${E2E_KEEP:-}" ] && mkdir -p "$E2E_KEEP" && cp "$work"/*.png "$E2E_KEEP"/ 2>/dev/null
  rm -rf "$work"
}
fail() { echo "FAIL: $*"; [ -f "$work/show.log" ] && sed 's/^/  show: /' "$work/show.log"; exit 1; }

# An X server with only an 800x600 screen, or none at all with such a mode.
start_xvfb() {  # WIDTHxHEIGHT [SERVER-OPTION...]
  # -noreset: every tool here (and each message box) is a client that comes
  # and goes; a server resetting between them would greet the show half-made.
  local size=$1; shift
  : >"$work/display"  # the last server's number goes first: the new one's is waited for
  Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp "$@" 3>"$work/display" >"$work/x.log" 2>&1 &
  server_pid=$!
  use_display
}
# The server picks a free display number and writes it to fd 3.
use_display() {
  wait_for 100 grep -qx '[0-9][0-9]*' "$work/display" || fail "no X server: $(cat "$work/x.log")"
  export DISPLAY=:$(head -1 "$work/display")
  [ -z "${xprobe:-}" ] || wait_for 50 "$xprobe" mode || fail "X server $DISPLAY does not answer"
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

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
wait_for() {  # TENTHS COMMAND...: retry until the command succeeds
  local tries=$1; shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
# For a program that may end before its window comes (a script that installs
# and builds first): until the window is there, while PID lives.
wait_for_window_of() {  # NAME SECONDS PID
  local end=$((SECONDS + $2))
  while [ $SECONDS -lt $end ] && kill -0 "$3" 2>/dev/null; do
    has_window "$1" && return 0
    sleep 0.2
  done
  echo "no window \"$1\""; return 1
}
window_id() { xwininfo -root -tree 2>/dev/null | grep "\"$1\"" | awk '{print $1}' | head -1; }
has_window() { [ -n "$(window_id "$1")" ]; }
key_to() { key_to_id "$(window_id "$1")" "$2"; }
# xdotool presses through XTEST when the window has the focus; should the
# window go on the press, the release meant for it fails with the window, the
# key stays down in the server, and its repeats reach the next window. The
# release is sent once more: a key that is up ignores it.
key_to_id() {  # WINDOW-ID KEY
  xdotool key --window "$1" "$2"
  local sent=$?
  xdotool keyup "$2" 2>/dev/null
  return $sent
}

show_args=()  # the show's own options, for start_show
start_show() {  # [PREFIX...]: runs the show in the media folder with show_args
  (cd "$media" && exec "$@" "$show" ${show_args[@]+"${show_args[@]}"}) >"$work/show.log" 2>&1 &
  show_pid=$!
}
# A line of --stats: the opening scene's (the first after the header), or the whole show's.
stats_line() {  # opening | whole
  case $1 in
  opening) tr -d '\r' <"$work/show.log" | grep -A1 '^showing  *seconds' | sed -n 2p ;;
  whole) tr -d '\r' <"$work/show.log" | grep '^whole show ' ;;
  esac
}
stats_fps() { stats_line "$1" | awk '{ print $(NF - 2) }'; }  # opening | whole: frames a second
stats_pace() { stats_line "$1" | awk '{ print $(NF - 1) }'; }  # opening | whole: positions a second
# The opening scene's frames a second after SECONDS in a window: sets fps.
opening_fps_in_window() {  # SECONDS [PREFIX...]
  local seconds=$1
  shift
  start_show "$@"
  wait_for 150 has_window "$ShowTitle" || fail "no show window"
  sleep "$seconds"
  key_to "$ShowTitle" Escape
  expect_exit 0
  fps=$(stats_fps opening)
  [ -n "$fps" ] || fail "no --stats line for the opening scene"
  echo "${show_args[*]}: $(stats_line opening)"
}
# The whole show stopped for 3 s in the opening scene (SIGSTOP, SIGCONT: a
# suspended laptop, a paused machine) and continued: the clock has run on, and
# the tune is moved after it, so the cut at second 20 lands on the tune's
# second 20 (--stats gives where the tune was when each showing's first second
# began: read at its first frame, less the time since, so that a frame late on
# a busy machine does not move it).
# The stall ends a second or two before the cut: SDL's disk driver, which
# stands in for a sound card, paces itself with sleeps and falls behind the
# clock by nearly 1%, within the margin but not within 50 ms over 5 s.
stall_then_expect_the_cut_on_the_tune() {  # the show drawing, with --window --stats
  local opened start tune moves
  opened=$(now_ms)
  sleep 15.5
  kill -STOP "$show_pid"
  sleep 3
  kill -CONT "$show_pid"
  # Past second 20 by a few seconds, however long start-up took.
  sleep $(( 25 - ($(now_ms) - opened) / 1000 ))
  key_to "$ShowTitle" Escape
  expect_exit 0
  tr -d '\r' <"$work/show.log" | grep -E '^(showing|rippling box|collage sheet|tune moved)'
  # The tune is read to a callback's length: the turn of second 0, before any
  # stall, shows that offset, which the cut keeps to within 50 ms.
  start=$(tr -d '\r' <"$work/show.log" | awk '/^rippling box / { print $4 }')
  tune=$(tr -d '\r' <"$work/show.log" | awk '/^collage sheet / { print $4 }')
  awk -v t="$tune" -v s="$start" 'BEGIN { d = t - 20 - s; exit !(t != "-" && s != "-" && d >= -0.05 && d <= 0.05) }' \
    || fail "the cut at second 20 came at the tune's second $tune (the first frame at its $start)"
  # The disk driver's lag adds moves of its own beside the stall's and the
  # lead taken again after it: one every 10 s or so of the 25 s on a quiet
  # machine, more on a busy one, where it lags further. A tune moved at every
  # callback would count over a thousand.
  moves=$(tr -d '\r' <"$work/show.log" | awk '/^tune moved to the clock:/ { print $6 }')
  [ -n "$moves" ] && [ "$moves" -ge 1 ] && [ "$moves" -le 25 ] || fail "the tune was moved ${moves:-no} times"
}
below_or_at() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > 0 && a <= b) }'; }
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
  wait_for 100 has_window "$QuestionTitle" || fail "no start-up question"
  press_until_gone "$QuestionTitle" "$1"
}
expect_window_800x600_at_origin() {
  wait_for 100 has_window "$ShowTitle" || fail "no show window: $(xwininfo -root -tree 2>&1 | grep -E '0x|error')"
  local info
  info=$(xwininfo -id "$(window_id "$ShowTitle")")
  grep -q 'Absolute upper-left X:  0' <<<"$info" && grep -q 'Absolute upper-left Y:  0' <<<"$info" \
    && grep -q 'geometry 800x600+' <<<"$info" || fail "window is not 800x600 at (0, 0): $info"
}
expect_drawing() {  # the idle loop keeps drawing: CPU time keeps growing
  # Start-up may still be loading, or the clock waiting up to a second for
  # the turn of a calendar second: one of three seconds must show drawing.
  local t0 t1 try
  for try in 1 2 3; do
    t0=$(awk '{print $14 + $15}' "/proc/$show_pid/stat")
    sleep 1
    t1=$(awk '{print $14 + $15}' "/proc/$show_pid/stat")
    [ $((t1 - t0)) -ge 10 ] && return 0
  done
  fail "the show is not drawing (cpu ticks $t0 -> $t1)"
}
# A picture, not a black frame: its mean brightness at least 20/1000.
expect_lit() {  # PNG
  local mean
  mean=$(convert "$1" -colorspace Gray -format '%[fx:int(mean*1000)]' info:)
  echo "${1##*/}: mean brightness $mean/1000"
  [ "$mean" -ge 20 ] || fail "${1##*/} is black (mean brightness $mean/1000)"
}
expect_picture() {  # SHOT: the window shows the scene; the screenshot kept in SHOT
  local shot=${1:-$work/shot.png}
  import -window "$(window_id "$ShowTitle")" "$shot" 2>/dev/null || fail "no screenshot"
  expect_lit "$shot" >/dev/null
}
# A key the show must take without ending, proven taken. The show answers a
# ping only from its event loop, after every X event that reached it before,
# the key included: once it has answered, the key waits in its queue. It draws
# only when its queue is empty, so a picture that changes after the answer was
# drawn after the key was handled; a show that ended on the key draws none.
expect_key_ignored() {  # KEY
  local id
  id=$(window_id "$ShowTitle")
  key_to_id "$id" "$1" || fail "cannot send $1 to the show"
  "$xprobe" ping "$id" || fail "the show did not answer a ping after $1"
  # A window that is gone or unmapped gives no screenshot; import then waits
  # for a click on some other window, hence the timeout.
  timeout 10 import -window "$id" "$work/after-key.ppm" 2>/dev/null || fail "the show window went after $1"
  for _ in $(seq 50); do
    sleep 0.1
    timeout 10 import -window "$id" "$work/later.ppm" 2>/dev/null || fail "the show window went after $1"
    cmp -s "$work/after-key.ppm" "$work/later.ppm" || return 0
  done
  fail "the show drew nothing after $1: it ended on that key"
}
audio_level() {  # RMS of 16-bit stereo samples written by SDL's disk audio driver
  /usr/bin/python3 -c '
import array, sys
samples = array.array("h", open(sys.argv[1], "rb").read()[: 44100 * 4 * 2])
print(int((sum(x * x for x in samples) / max(len(samples), 1)) ** 0.5))' "$1"
}
# The tune reached the audio output, and the silent show put nothing there.
expect_tune() {  # RAW-FILE
  [ -s "$1" ] || fail "nothing reached the audio output"
  local level
  level=$(audio_level "$1")
  [ "$level" -ge 100 ] || fail "the tune is silent (RMS $level)"
}
expect_no_sound() {  # RAW-FILE
  [ ! -s "$1" ] || [ "$(audio_level "$1")" -eq 0 ] || fail "sound without a tune"
}
# A message box that could not be shown: its text, then why, on stderr.
expect_told_why() {  # TEXT CAUSE-PATTERN
  grep -A1 -F "$1" "$work/show.log" | sed -n 2p | grep -q "^(no message box: .*$2" \
    || fail "no reason after \"$1\" naming $2"
}
# The screen's size as RandR reports it, for the cases that must leave it alone.
expect_xrandr() {
  local size
  size=$(xrandr 2>/dev/null | awk '/current/ { print $8 "x" $10 }' | tr -d ,)
  [ "$size" = "$1" ] || fail "xrandr says the screen is $size, expected $1"
}
expect_mode() { [ "$("$xprobe" mode)" = "$1" ] || fail "display is $("$xprobe" mode), expected $1"; }
expect_exit() { wait_show_exit; [ "$exit_code" = "$1" ] || fail "exit code $exit_code, expected $1"; }
cursor_is() { [ "$("$xprobe" cursor "$(window_id "$ShowTitle")")" = "$1" ]; }


# ---- The cases both suites run: the show as a person meets it, the same on
# Linux and under Wine but for how it is started and looked at. The sourcing
# script supplies:
#   launch PREFIX...         the show started in its media folder after PREFIX (env, faketime)
#   answer_question KEY      the start-up question found, read where it can be, and answered
#   expect_show_window MODE  the 800x600 client area up, at (0, 0) (window | full)
#   expect_show_picture      a picture in the show's window, not a black frame
#   close_show_window        its close box clicked
#   expect_box TITLE TEXT    a box with that title up, showing TEXT where it can be read
# and sets under_wine to true or false: Wine's own libraries write to the
# show's stderr, and its audio output starts late enough for the tune to be
# moved to the clock once.
# False for a case that is not one of them.
# The show's full screen on the 1024x768 desktop: the display switched to
# 800x600, the cursor hidden, drawing; Escape ends it with 0 and the desktop's
# mode comes back.
full_screen_until_escape() {
  expect_show_window full
  expect_mode 800x600
  wait_for 20 cursor_is hidden || fail "cursor shown in full screen"
  expect_drawing
  key_to "$ShowTitle" Escape
  expect_exit 0
  expect_mode 1024x768
}
run_shared_case() {  # CASE
  case $1 in
  window-escape)
    start_xvfb 1024x768
    launch
    answer_question Escape
    expect_show_window window
    wait_for 20 cursor_is visible || fail "cursor hidden in a window"
    expect_drawing
    expect_show_picture
    expect_key_ignored a
    key_to "$ShowTitle" Escape
    expect_exit 0
    # A plain start says at most one thing (no sound card here: that it is silent).
    $under_wine || [ "$(wc -l <"$work/show.log")" -le 1 ] || fail "more than one line on stderr"
    ;;
  window-close)
    start_xvfb 1024x768
    launch
    answer_question Escape
    expect_show_window window
    close_show_window
    expect_exit 0
    ;;
  fullscreen-escape)
    # Xorg's dummy driver offers 800x600 beside its 1024x768 desktop: the
    # display really switches, and switches back on Escape.
    start_xorg
    launch
    answer_question Return
    full_screen_until_escape
    ;;
  fullscreen-800x600-screen)
    # Xvfb has one display mode; on an 800x600 screen it is the one asked for.
    start_xvfb 800x600
    launch
    answer_question Return
    expect_show_window full
    wait_for 20 cursor_is hidden || fail "cursor shown in full screen"
    expect_drawing
    key_to "$ShowTitle" Escape
    expect_exit 0
    ;;
  fullscreen-show-ends)
    # The whole show on a clock running 25 times faster: it ends by itself
    # with 0 and gives the desktop its mode back. (NO_FAKE_STAT: Wine's
    # prefix must not look 25 times older, or Wine would rebuild it.)
    start_xorg
    launch env NO_FAKE_STAT=1 faketime -f '+0 x25'
    answer_question Return
    expect_show_window full
    expect_mode 800x600
    for _ in $(seq 300); do kill -0 "$show_pid" 2>/dev/null || break; sleep 0.1; done
    expect_exit 0
    wait_for 50 expect_mode 1024x768 || fail "the display stays at $("$xprobe" mode)"
    ;;
  no-800x600-mode)
    start_xvfb 1024x768
    launch
    answer_question Return
    wait_for 150 has_window "Error" || fail "no error box"
    expect_box "Error" "Display Mode Not Compatible"
    press_until_gone "Error" Return
    expect_exit 1
    ;;
  music)
    # The tune plays through the audio output at 44100 Hz; SDL's disk driver
    # stands in for a sound card and keeps what it was given. A show that
    # runs on undisturbed never moves its tune.
    start_xvfb 1024x768
    show_args=(--stats)
    launch env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
    answer_question Escape
    expect_show_window window
    sleep 3
    key_to "$ShowTitle" Escape
    expect_exit 0
    expect_tune "$work/audio.raw"
    $under_wine || grep -qx "tune moved to the clock: 0 times" "$work/show.log" \
      || fail "the tune was moved: $(grep '^tune' "$work/show.log")"
    ;;
  tune-follows-stall)
    # The whole show stopped for 3 s in the opening scene and continued.
    start_xvfb 1024x768
    show_args=(--window --stats)
    launch env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
    expect_show_window window
    expect_drawing
    stall_then_expect_the_cut_on_the_tune
    ;;
  *) return 1 ;;
  esac
}
