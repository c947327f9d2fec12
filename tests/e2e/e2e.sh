#!/usr/bin/env bash
# The show as a person meets it: a real X server, the question box answered
# from the keyboard, the window looked at, the show ended the ways a person ends it.
#   e2e.sh CASE SHOW XPROBE MEDIA_DIR BENCH_SCENES CAPTURE
# (BENCH_SCENES --list is the scene table; CAPTURE renders the frames a picture is held against)
set -u
case_name=$1 show=$2 xprobe=$3 media=$4 scenes=$5 capture=$6
source "$(dirname "$0")/lib.sh"
begin_case

# The opening scene's frames 0 to LAST as capture renders them at 60 frames a
# second, every fifth (its box steps every fifth frame), into
# DIR/frame_NNNNNN.png: frame k at position k, as the show draws it on a
# 60 Hz beat.
opening_frames() {  # DIR LAST
  "$capture" --media "$media" --fps 60 --every 5 --to "$(($2 / 60)).$(printf %03d $(($2 % 60 * 1000 / 60)))" \
    --out "$1" >"$work/capture.log" 2>&1 || fail "capture failed: $(cat "$work/capture.log")"
}
# A screenshot's GEOMETRY (WxH+X+Y) holds a picture, not a blank frame; is black, bars and all.
lit_in() { [ "$(convert "$1" -crop "$2" -colorspace Gray -format '%[fx:int(255*mean)]' info:)" -gt 8 ]; }
black_in() { [ "$(convert "$1" -crop "$2" -format '%[fx:int(255*maxima)]' info:)" = 0 ]; }
# The show's window over the whole of a 1920x1080 screen.
covers_screen() { xwininfo -id "$(window_id "$ShowTitle")" | grep -q "geometry 1920x1080+0+0"; }
# What the cases both suites run need of this one.
launch() { start_show "$@"; }
answer_question() { answer "$1"; }
expect_show_window() { expect_window_800x600_at_origin; }
expect_show_picture() { expect_picture; }
close_show_window() { "$xprobe" close "$(window_id "$ShowTitle")"; }
expect_box() { :; }  # SDL draws a box's text itself: nothing here reads it
under_wine=false
run_shared_case "$case_name" && { echo "PASS: $case_name"; exit 0; }
case $case_name in
fullscreen-signal)
  # A signal that asks the show to end gives the desktop its mode back and ends
  # the show as that signal would, soon, wherever the show is: running, or
  # stuck at a box (start-up halted by a missing mesh), where its own thread
  # cannot act. A second request does not wait for the stuck thread.
  mkdir "$work/no-meshes" && cp "$media"/* "$work/no-meshes/" && rm "$work/no-meshes"/*.3ds
  all_media=$media
  #   WHERE    SIGNALS  EXIT  WITHIN (ms after the last signal)
  while read -r where signals code within; do
    [ "$where" = stuck ] && media=$work/no-meshes || media=$all_media
    start_xorg
    start_show
    answer Return
    expect_window_800x600_at_origin
    expect_mode 800x600
    [ "$where" = stuck ] && { wait_for 200 has_window "Error" || fail "no box for the missing meshes"; }
    for sig in ${signals//,/ }; do
      sleep 0.3
      kill -s "$sig" "$show_pid"
    done
    sent=$(now_ms)
    while kill -0 "$show_pid" 2>/dev/null && [ $(( $(now_ms) - sent )) -lt 10000 ]; do sleep 0.05; done
    took=$(( $(now_ms) - sent ))
    expect_exit "$code"
    [ "$took" -le "$within" ] || fail "$where, $signals: ended $took ms after the last signal (at most $within)"
    expect_mode 1024x768
    echo "$where, $signals: exit $code after $took ms, display back"
    kill "$server_pid"; wait "$server_pid" 2>/dev/null; server_pid=
  done <<'TABLE'
running  TERM     143   3000
running  INT      130   3000
stuck    TERM     143   4500
stuck    INT,INT  130   1000
TABLE
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
  key_to "$ShowTitle" Escape
  expect_exit 0
  expect_no_sound "$work/audio.raw"
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
  opened=$(now_ms)
  at() {  # SECOND: sleeps until that many seconds after the window opened
    local wait=$(( opened + $1 * 1000 - $(now_ms) ))
    [ "$wait" -gt 0 ] && sleep "$((wait / 1000)).$(printf %03d $((wait % 1000)))"
  }
  rss() { awk '/^VmRSS/ {print $2}' "/proc/$show_pid/status"; }
  # A shot in the middle of every showing, from the show's own scene table.
  seconds=$("$scenes" --list | awk '{ print int(($1 + $2) / 2) }') || fail "no scene table"
  shots=()
  for second in $(printf '%s\n' $seconds 60 170 219 | sort -n -u); do
    at "$second"
    kill -0 "$show_pid" 2>/dev/null || fail "the show ended before second $second"
    case $second in
    60) rss60=$(rss) ;;
    170) rss170=$(rss) ;;
    219) rss219=$(rss); continue ;;
    esac
    import -window "$(window_id "$ShowTitle")" "$work/at-$second.png" 2>/dev/null || fail "no screenshot at $second"
    shots+=("$work/at-$second.png")
  done
  for _ in $(seq 150); do kill -0 "$show_pid" 2>/dev/null || break; sleep 0.1; done
  expect_exit 0
  lasted=$(( $(now_ms) - opened ))
  echo "the show ran $lasted ms; memory $rss60 kB at second 60, $rss170 kB at 170, $rss219 kB at 219"
  [ "$lasted" -ge 225000 ] && [ "$lasted" -lt 235000 ] || fail "the show lasted $lasted ms"
  # Memory rises in steps as each scene first draws (5.5 MB when the mesh
  # scenes begin at 54 s, some MB more over the later ones, by as much as the
  # driver likes), never per frame. By 170 every scene has drawn; the 49 s
  # after are 2900 frames, so 3 MB is a leak of about 1 kB a frame.
  [ $((rss219 - rss170)) -le 3072 ] || fail "memory grew from $rss170 kB to $rss219 kB"
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
scaled-1920x1080)
  # A 16:9 desktop keeps its mode; the 4:3 picture fills its height between
  # black bars of 240 columns, scaled from the show's 800x600 as drawn. Once
  # with the driver's framebuffer objects of GL 3.0 and later, once with only
  # GL 2.1's EXT extensions.
  opening_frames "$work/opening" 0
  for driver in "" "MESA_GL_VERSION_OVERRIDE=2.1 MESA_EXTENSION_OVERRIDE=-GL_ARB_framebuffer_object"; do
    start_xvfb 1920x1080
    expect_xrandr 1920x1080
    show_args=(--scaled)
    start_show env $driver
    wait_for 100 has_window "$ShowTitle" || fail "no show window"
    wait_for 50 covers_screen \
      || fail "the window does not cover the screen: $(xwininfo -id "$(window_id "$ShowTitle")" | grep geometry)"
    expect_xrandr 1920x1080
    wait_for 20 cursor_is hidden || fail "cursor shown in the scaled full screen"
    expect_drawing
    import -window root "$work/scaled.png" 2>/dev/null || fail "no screenshot"
    /usr/bin/python3 - "$work/scaled.png" "$work/opening/frame_000000.png" <<'PY' || fail "not the picture scaled between bars ($driver)"
import sys
from PIL import Image, ImageChops, ImageStat
screen, frame = (Image.open(p).convert("RGB") for p in sys.argv[1:])
assert screen.size == (1920, 1080), screen.size
for left, right in ((0, 240), (1680, 1920)):
    assert max(max(band) for band in screen.crop((left, 0, right, 1080)).getextrema()) == 0, f"columns {left}-{right - 1} not black"
lit = lambda box: max(max(band) for band in screen.crop(box).getextrema()) > 32
for name, box in (("first column", (240, 0, 241, 1080)), ("last column", (1679, 0, 1680, 1080)),
                  ("top row", (240, 0, 1680, 1)), ("bottom row", (240, 1079, 1680, 1080))):
    assert lit(box), f"the picture's {name} is black"
# Its left third is the opening scene's still backdrop, the box turning to
# its right: shrunk back to 800x600 it is the frame capture draws, to within
# the filtering (a picture stretched or shifted by a few pixels is not).
centre = screen.crop((240, 0, 1680, 1080)).resize((800, 600), Image.BOX).crop((0, 0, 280, 600))
difference = sum(ImageStat.Stat(ImageChops.difference(centre, frame.crop((0, 0, 280, 600)))).mean) / 3
print(f"backdrop against capture's frame: mean difference {difference:.2f}")
assert difference < 2, f"the backdrop differs from capture's by {difference:.2f}"
PY
    key_to "$ShowTitle" Escape
    expect_exit 0
    expect_xrandr 1920x1080
    [ -z "$(grep -v "^No sound" "$work/show.log")" ] || fail "the show said: $(cat "$work/show.log")"
    kill "$server_pid"; wait "$server_pid" 2>/dev/null; server_pid=
  done
  ;;
wayland)
  # A Wayland desktop: weston's headless compositor (pixman draws, so that its
  # screenshooter answers; --debug lets it) with Xwayland, where SDL takes X11.
  # Full screen keeps its shape there: the 4:3 picture between black bars on
  # the 1920x1080 output, in the compositor's own screenshot. Keys do not
  # reach a compositor without a seat: the show is ended by a signal.
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  weston --backend=headless-backend.so --use-pixman --xwayland --debug --width=1920 --height=1080 \
    --socket=wayland-show --idle-time=0 >"$work/weston.log" 2>&1 &
  server_pid=$!
  wait_for 100 grep -q "xserver listening on display" "$work/weston.log" || fail "no weston: $(cat "$work/weston.log")"
  export WAYLAND_DISPLAY=wayland-show DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
  screenshot() {  # NAME: the compositor's picture of its output
    rm -f "$work"/wayland-screenshot-*.png
    (cd "$work" && timeout 20 weston-screenshooter) && mv "$work"/wayland-screenshot-*.png "$work/$1.png"
  }
  # The window first: a full screen's last frame would fade out behind it.
  for screen in --window --fullscreen; do
    show_args=($screen)
    start_show
    wait_for 150 has_window "$ShowTitle" || fail "$screen: no show window under Xwayland"
    expect_drawing
    if [ $screen = --fullscreen ]; then
      # The window before may still be fading out over a bar when the picture
      # first shows: the bars are held once the compositor has settled.
      bars_black() { black_in "$work/fullscreen.png" 240x1080+0+0 && black_in "$work/fullscreen.png" 240x1080+1680+0; }
      shot() { screenshot fullscreen && lit_in "$work/fullscreen.png" 1440x1080+240+0 && bars_black; }
      if ! wait_for 50 shot; then
        lit_in "$work/fullscreen.png" 1440x1080+240+0 || fail "--fullscreen: no picture in the compositor's screenshot"
        fail "--fullscreen: the bars beside the picture are not black"
      fi
      grep -q "^Wayland cannot switch the display to 800x600" "$work/show.log" || fail "--fullscreen: no line on why"
    else
      info=$(xwininfo -id "$(window_id "$ShowTitle")")
      grep -q 'geometry 800x600' <<<"$info" || fail "--window: not 800x600: $info"
      at=$(awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print "+" x "+" y }' <<<"$info")
      # The velvet of the opening scene: red well above blue over most of the window's 800x600.
      shot() {
        screenshot window &&
          [ "$(convert "$work/window.png" -crop "800x600$at" -fx 'r > b + 0.08 ? 1 : 0' -colorspace Gray \
                 -format '%[fx:int(w*h*mean)]' info:)" -gt 300000 ]
      }
      wait_for 50 shot || fail "--window: no 800x600 picture in the compositor's screenshot"
    fi
    kill "$show_pid"
    wait_show_exit
  done
  ;;
scaled-render-scale)
  # The scaled full screen on a 1080-line desktop drawn at twice 800x600 is
  # really drawn there, not blown up: its picture holds detail finer than
  # 800x600 can (what a pass through 800x600 takes away, as a mean absolute
  # difference), between the same black bars. With no --render-scale a
  # software GL keeps 800x600 and --stats says so.
  for scale in 2 1 auto; do
    start_xvfb 1920x1080
    show_args=(--scaled --stats)
    [ $scale = auto ] || show_args+=(--render-scale $scale)
    start_show
    wait_for 100 has_window "$ShowTitle" || fail "no show window"
    wait_for 50 covers_screen || fail "--render-scale $scale: the window does not cover the screen"
    expect_drawing
    # The first frames are blank until the clock starts on the turn of a second.
    lit_shot() { import -window root "$work/scaled-$scale.png" 2>/dev/null && lit_in "$work/scaled-$scale.png" 480x1080+240+0; }
    wait_for 50 lit_shot || fail "--render-scale $scale: no picture on the screen"
    key_to "$ShowTitle" Escape
    expect_exit 0
    kill "$server_pid"; wait "$server_pid" 2>/dev/null; server_pid=
    frame=$(tr -d '\r' <"$work/show.log" | grep '^frame ')
    echo "--render-scale $scale: $frame"
    case $scale in
    2) [[ $frame == "frame 1600x1200 (render scale 2, asked)" ]] || fail "--stats says: $frame" ;;
    1) [[ $frame == "frame 800x600 (render scale 1, asked)" ]] || fail "--stats says: $frame" ;;
    auto) [[ $frame == "frame 800x600 (render scale 1, auto: a software GL)" ]] || fail "--stats says: $frame" ;;
    esac
  done
  /usr/bin/python3 - "$work/scaled-2.png" "$work/scaled-1.png" <<'PY' || fail "the frame drawn at 1600x1200 is not sharper than at 800x600"
import sys
from PIL import Image, ImageChops, ImageStat
def detail(path):
    screen = Image.open(path).convert("L")
    for left, right in ((0, 240), (1680, 1920)):
        assert screen.crop((left, 0, right, 1080)).getextrema()[1] == 0, f"{path}: columns {left}-{right - 1} not black"
    picture = screen.crop((240, 0, 1680, 1080))
    through = picture.resize((800, 600), Image.BOX).resize(picture.size, Image.BILINEAR)
    return ImageStat.Stat(ImageChops.difference(picture, through)).mean[0]
sharp, soft = detail(sys.argv[1]), detail(sys.argv[2])
print(f"detail finer than 800x600: {sharp:.3f} drawn at 1600x1200, {soft:.3f} at 800x600")
assert sharp > 1.3 * soft
PY
  ;;
scaled-without-framebuffer-objects)
  # A driver without framebuffer objects: one line says so, and the ordinary
  # full screen opens, switching the display and switching it back.
  start_xorg
  show_args=(--scaled)
  start_show env MESA_GL_VERSION_OVERRIDE=2.1 \
    MESA_EXTENSION_OVERRIDE="-GL_ARB_framebuffer_object -GL_EXT_framebuffer_object -GL_EXT_framebuffer_blit"
  # The scaled window, made hidden under the same title, is gone once the line
  # is out: only then is a window of that title the one the show plays in.
  wait_for 100 grep -q "^No scaled full screen" "$work/show.log" || fail "no line on the missing framebuffer objects"
  full_screen_until_escape
  # Mesa says it cannot switch off the EXT pair, but leaves them out of its list.
  grep -v -e "^No sound" -e "^Warning: extension" "$work/show.log" >"$work/said.txt"
  [ "$(wc -l <"$work/said.txt")" -eq 1 ] && grep -q "^No scaled full screen (OpenGL 2.1 .*no framebuffer objects)" \
    "$work/said.txt" || fail "not one line on the missing framebuffer objects: $(cat "$work/said.txt")"
  # A frame larger than the window needs them too: one line, and the window's own 800x600.
  show_args=(--window --render-scale 3 --stats)
  start_show env MESA_GL_VERSION_OVERRIDE=2.1 \
    MESA_EXTENSION_OVERRIDE="-GL_ARB_framebuffer_object -GL_EXT_framebuffer_object -GL_EXT_framebuffer_blit"
  expect_window_800x600_at_origin
  expect_drawing
  expect_picture
  key_to "$ShowTitle" Escape
  expect_exit 0
  grep -q "^No 2400x1800 frame (OpenGL 2.1 .*no framebuffer objects): drawing at 800x600 instead" "$work/show.log" \
    || fail "no line on the frame the driver cannot draw"
  grep -qx "frame 800x600 (render scale 1, asked, the largest the driver draws)" "$work/show.log" \
    || fail "--stats does not say which frame was drawn"
  ;;
loop-restarts)
  # --loop on a clock the test sets: past second 225 the show starts again,
  # the opening scene from frame 0. libfaketime reads the time from the file
  # at each reading; faketime's own setting is taken out so that the file counts.
  opening_frames "$work/opening" 300
  echo "2024-01-01 00:00:00" >"$work/clock"
  start_xvfb 1024x768
  show_args=(--window --loop)
  start_show faketime -f +0 env -u FAKETIME FAKETIME_TIMESTAMP_FILE="$work/clock" FAKETIME_NO_CACHE=1 \
    FAKETIME_DONT_FAKE_MONOTONIC=1
  expect_window_800x600_at_origin
  # Each start waits a second for a clock that stands still to turn, then
  # draws; faketime waits for the show as a child: no CPU time of its own to watch.
  sleep 4
  import -window "$(window_id "$ShowTitle")" "$work/first-pass.png" 2>/dev/null || fail "no screenshot"
  echo "2024-01-01 00:03:46" >"$work/clock"  # second 226
  sleep 2.5
  import -window "$(window_id "$ShowTitle")" "$work/second-pass.png" 2>/dev/null || fail "no screenshot"
  kill -0 "$show_pid" 2>/dev/null || fail "the show ended at second 226"
  key_to "$ShowTitle" Escape
  expect_exit 0
  # Each shot is one of capture's frames (or, well into the first pass,
  # maybe past the last): the second pass's shot, taken sooner after its
  # start, an earlier frame than the first pass's. A counter left running
  # would give it a later one.
  /usr/bin/python3 - "$work/opening" "$work/first-pass.png" "$work/second-pass.png" <<'PY' || fail "no new pass from frame 0"
import glob, sys
from PIL import Image, ImageChops, ImageStat
frames = [(int(p[-10:-4]), Image.open(p).convert("RGB")) for p in sorted(glob.glob(sys.argv[1] + "/frame_*.png"))]
def frame_of(path):
    shot = Image.open(path).convert("RGB")
    difference, frame = min((sum(ImageStat.Stat(ImageChops.difference(shot, f)).mean) / 3, k) for k, f in frames)
    print(f"{path.rsplit('/', 1)[1]}: frame {frame} (mean difference {difference:.3f})")
    return frame if difference < 0.5 else None
first, second = frame_of(sys.argv[2]), frame_of(sys.argv[3])
assert second is not None, "the second pass does not show the opening scene's first frames"
assert first is None or second < first, f"the second pass's frame {second} is not earlier than {first}"
PY
  ;;
motion-on-the-clock)
  # Motion keeps its designed pace, 60 positions a second, read from outside
  # the show as well as from --stats: screenshots of the collage sheet (20 to
  # 26 s, where everything moves continuously) each held against capture's
  # frames of those seconds, the frame that matches best giving where the
  # motion stood when the shot was taken. Once at --max-fps 144 in a window
  # (a stand-in for a 144 Hz display: Xvfb's swap does not wait, and this
  # machine draws fewer), once full screen on a 1920x1080 screen at render
  # scale 2, where it draws far fewer than 60 frames a second. Then the
  # frame-counted show at --max-fps 30: its positions are its frame count.
  "$capture" --media "$media" --fps 60 --every 1 --from 20.2 --to 25.99 --size 200x150 --out "$work/collage" \
    >"$work/capture.log" 2>&1 || fail "capture failed: $(cat "$work/capture.log")"
  for run in window scaled; do
    if [ $run = window ]; then
      start_xvfb 1024x768
      show_args=(--window --stats --max-fps 144)
    else
      start_xvfb 1920x1080
      show_args=(--scaled --render-scale 2 --stats)
    fi
    start_show
    wait_for 150 has_window "$ShowTitle" || fail "no show window"
    mkdir -p "$work/$run"
    # From before second 20 until after 26, however long start-up took:
    # shots outside the collage match none of its frames and are left out.
    geometry=800x600+0+0
    [ $run = window ] || geometry=1440x1080+240+0
    "$xprobe" shots "$work/$run" 29 $geometry || fail "no screenshots"
    key_to "$ShowTitle" Escape
    expect_exit 0
    kill "$server_pid"; wait "$server_pid" 2>/dev/null; server_pid=
    stats=$(tr -d '\r' <"$work/show.log" | grep '^collage sheet ')
    echo "$run, --stats: $stats"
    pace=$(awk '{ print $(NF - 1) }' <<<"$stats")
    below_or_at "$pace" 62 && ! below_or_at "$pace" 58 || fail "$run: --stats gives $pace positions a second"
    /usr/bin/python3 - "$work/collage" "$work/$run" $run <<'PY' || fail "$run: the motion seen from outside is off its pace"
import glob, os, sys
from PIL import Image, ImageChops, ImageStat
frames = [(int(p[-10:-4]), Image.open(p).convert("RGB")) for p in sorted(glob.glob(sys.argv[1] + "/frame_*.png"))]
def difference(shot, frame):
    return sum(ImageStat.Stat(ImageChops.difference(shot, frame)).mean) / 3
# Each shot against every tenth frame, then the frames around the closest.
seen = []
for path in sorted(glob.glob(sys.argv[2] + "/*.ppm")):
    shot = Image.open(path).convert("RGB").resize((200, 150), Image.BOX)
    _, near = min((difference(shot, frames[i][1]), i) for i in range(0, len(frames), 10))
    best, i = min((difference(shot, frames[i][1]), i) for i in range(max(0, near - 10), min(len(frames), near + 11)))
    if best < 4 and 0 < i < len(frames) - 1:
        seen.append((int(os.path.basename(path)[:-4]) / 1000, frames[i][0]))
assert len(seen) >= 20, f"only {len(seen)} shots match the collage's frames"
n = len(seen)
mt, mp = sum(t for t, _ in seen) / n, sum(p for _, p in seen) / n
slope = sum((t - mt) * (p - mp) for t, p in seen) / sum((t - mt) ** 2 for t, _ in seen)
worst = max(abs(p - mp - slope * (t - mt)) for t, p in seen)
print(f"{n} shots in the collage, {seen[-1][0] - seen[0][0]:.1f} s apart: positions {slope:.2f} a second, "
      f"each within {worst:.1f} of that line")
assert 58 <= slope <= 62, f"{slope:.2f} positions a second"
PY
  done
  start_xvfb 1024x768
  show_args=(--window --stats --frame-counted --max-fps 30)
  start_show
  wait_for 150 has_window "$ShowTitle" || fail "no show window"
  sleep 6
  key_to "$ShowTitle" Escape
  expect_exit 0
  stats=$(stats_line opening)
  echo "--frame-counted --max-fps 30: $stats"
  fps=$(stats_fps opening) pace=$(stats_pace opening)
  awk -v f="$fps" -v p="$pace" 'BEGIN { exit !(f > 20 && f <= 31 && p - f < 0.5 && f - p < 0.5) }' \
    || fail "--frame-counted: $fps frames and $pace positions a second"
  ;;
window-pace)
  # Under Xvfb the swap does not wait: the limiter alone holds the show to 60
  # frames a second. After a while in the opening scene the show's calendar is
  # moved on to its blank end (seconds 220 to 225), frames that any machine
  # draws by the hundred when unpaced, and the show ends by itself, printing
  # --stats on its way out. Paced, the opening scene and the whole show come
  # to at most 61 frames a second (load can only lower it); with --max-fps 0
  # the whole show comes to more. --window asks nothing.
  faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
  [ -n "$faketime_lib" ] || fail "no libfaketime"
  calendar=$work/calendar
  start_xvfb 1024x768
  for max_fps in 60 0; do
    echo +0 >"$calendar"
    show_args=(--window --stats --max-fps "$max_fps")
    start_show env LD_PRELOAD="$faketime_lib" FAKETIME_TIMESTAMP_FILE="$calendar" FAKETIME_NO_CACHE=1 \
      DONT_FAKE_MONOTONIC=1
    wait_for 150 has_window "$ShowTitle" || fail "no show window"
    sleep $((max_fps ? 10 : 3))
    echo +210 >"$calendar"  # a few seconds before the blank end
    for _ in $(seq 150); do kill -0 "$show_pid" 2>/dev/null || break; sleep 0.1; done
    expect_exit 0
    echo "--max-fps $max_fps: $(stats_line opening); $(stats_line whole)"
    opening=$(stats_fps opening) whole=$(stats_fps whole)
    [ -n "$opening" ] && [ -n "$whole" ] || fail "no --stats at the end of the show"
    if [ "$max_fps" = 60 ]; then
      below_or_at "$opening" 61 || fail "the opening scene at $opening frames a second"
      below_or_at "$whole" 61 || fail "the whole show at $whole frames a second"
    else
      below_or_at "$whole" 61 && fail "--max-fps 0 held at $whole frames a second"
    fi
  done
  ;;
no-display)
  # Nothing to show on (over SSH, in a container; or DISPLAY naming a server
  # that is not there): one line that says so, with SDL's reason, and exit 1;
  # no question and no display-mode message.
  for display in "" ":$((900 + RANDOM % 99))"; do
    (cd "$media" && exec env -u DISPLAY -u WAYLAND_DISPLAY ${display:+DISPLAY=$display} "$show") \
      >"$work/show.log" 2>&1 &
    show_pid=$!
    expect_exit 1
    [ "$(wc -l <"$work/show.log")" = 1 ] || fail "DISPLAY=$display: not one line"
    grep -q "^show: no display could be opened ([^)]\+); .*desktop session.*DISPLAY" "$work/show.log" ||
      fail "DISPLAY=$display: the line does not say what is missing"
  done
  ;;
no-fonts)
  # A server without the core fonts SDL's box is drawn with (a machine lacking
  # xfonts-base): the question and the refusal reach stderr, each with its cause.
  start_xvfb 1024x768 -fp built-ins
  start_show
  expect_exit 1
  expect_told_why "$QuestionText" "font"
  expect_told_why "Display Mode Not Compatible" "font"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "PASS: $case_name"
