#!/usr/bin/python3
"""The show's web page in headless Chromium, one case per run:

  page_test.py CASE --page DIR [--capture PROGRAM --media DIR] [--out DIR]

question        the page asks the desktop's question; No starts an 800 x 600
                show that is drawn within seconds, the sound starts with that
                click, and second 5 shows the opening scene as the desktop
                draws that frame; nothing goes uncaught
window          index.html?window asks nothing and starts at once, silent
                until the first click on the page; Escape ends it in the
                "the show has ended" page
fullscreen      Yes asks for full screen of the canvas; leaving it ends the show
hidpi           at devicePixelRatio 2 the canvas has 1600 x 1200 pixels in its
                800 x 600 of the page, and the show draws there
stall           the tune is not moved in a normal run; hidden for 5 s in
                the opening scene (its window minimized through the
                browser's protocol) and shown again, the next cut lands on
                the tune's change as the seconds before did
show-end        the show ends by itself after second 225 in the ended page
scenes          with the page's clock tied to the show's frames, frames of the
                five mesh scenes (sphere mapping, the GLU spheres, mipmapped
                mesh textures) match the desktop build's same frames
pace            with animation frames and the page's clock stood in for at
                144 Hz and at 30 Hz (in the blank seconds at the end, where a
                frame costs next to nothing), a show frame on every refresh,
                each at its own position, the positions advancing 60 a second;
                at 144 Hz with ?fps=60, at most 61 show frames in any second
                and the same 60 positions
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402

# The question's caption and text as the desktop suites find and read its box.
_HELPERS = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e", "lib.sh")).read()
QUESTION_CAPTION = re.search(r'^QuestionTitle="(.*)"$', _HELPERS, re.M).group(1)
QUESTION_TEXT = re.search(r'^QuestionText="(.*)"$', _HELPERS, re.M).group(1)
RUNNING = "!document.getElementById('canvas').hidden && Module._web_frame_counter() > 0"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def shown(page, selector):
    return page.evaluate("!document.querySelector(%r).hidden && "
                         "document.querySelector(%r).getBoundingClientRect().width > 0" % (selector, selector))


def wait_lit(page, seconds):
    """Waits for the canvas to show a picture; returns the last screenshot."""
    deadline = time.monotonic() + seconds
    while True:
        width, height, pixels = page.screenshot("#canvas")
        if browser.lit_fraction(pixels) > 0.05 or time.monotonic() > deadline:
            return width, height, pixels
        time.sleep(0.25)


def audio_states(page):
    return page.evaluate("window.__audioContexts.map(c => [c.made, c.activated, c.context.state])")


def expect_clean_console(page):
    errors = page.uncaught_errors()
    check(not errors, "the console shows errors:\n  " + "\n  ".join(errors))


def frame_at_second(page, second, timeout):
    """Holds the show at its first frame of the given second or later: its
    frame loop paused, that frame on screen. The page watches for it on every
    animation frame. Returns (its position in the motion, second drawn)."""
    page.evaluate("""(() => {
        const watch = () => {
          if (Module._web_elapsed_seconds() >= %d) {
            Module.pauseMainLoop();
            window.__held = [Module._web_frame_position(), Module._web_elapsed_seconds()];
          } else {
            requestAnimationFrame(watch);
          }
        };
        window.__held = null;
        requestAnimationFrame(watch);
      })()""" % second)
    held = page.wait_for("window.__held", timeout=timeout)
    check(held, "the show never reached second %d" % second)
    return float(held[0]), int(held[1])


def hold_frame(page, frame, timeout):
    """Pauses the show's frame loop right after it drew the given frame."""
    page.evaluate("""(() => {
        window.__held = null;
        const watch = () => {
          if (Module._web_frame_counter() >= %d) {
            Module.pauseMainLoop();
            window.__held = Module._web_frame_counter() - 1;
          } else {
            requestAnimationFrame(watch);
          }
        };
        requestAnimationFrame(watch);
      })()""" % (frame + 1))
    held = page.wait_for("window.__held !== null && window.__held + 1", timeout=timeout)
    check(held, "the show never reached frame %d" % frame)
    return int(held) - 1


def mean_difference(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) / len(a)


def compare_with_desktop(args, pixels, position, second, out):
    """The opening scene at that position of the motion as the desktop build
    renders it offscreen: at 60 frames a second frame k stands at position k,
    and the opening scene steps on whole positions."""
    # The calendar and the clock the motion reads may part by a millisecond at the turn.
    frame = min(max(int(position), 60 * second), 60 * second + 59)
    subprocess.run([args.capture, "--fps", "60", "--at", "%.6f" % ((frame - 0.5) / 60), "--out", out,
                    "--media", args.media], check=True, stdout=subprocess.DEVNULL)
    with open(os.path.join(out, "frame_%06d.png" % frame), "rb") as f:
        width, height, desktop = browser.decode_png(f.read())
    check((width, height) == (800, 600), "capture gave %d x %d" % (width, height))
    return mean_difference(pixels, desktop)


def case_question(page, args, out):
    page.open(args.url)
    check(page.wait_for("!document.getElementById('question').hidden", timeout=90),
          "the start-up question never appeared")
    caption = page.evaluate("document.getElementById('question-caption').textContent")
    text = page.evaluate("document.getElementById('question-text').textContent")
    buttons = page.evaluate("[...document.querySelectorAll('#question button')].map(b => b.textContent)")
    check(caption == QUESTION_CAPTION, "caption %r" % caption)
    check(text == QUESTION_TEXT, "question %r" % text)
    check(buttons == ["Yes", "No"], "buttons %r" % buttons)
    check(not shown(page, "#canvas"), "the show is visible before the answer")
    check(audio_states(page) == [], "sound was asked for before any click")

    clicked = page.evaluate("performance.now()")
    page.click_element("#no")
    check(page.wait_for("(() => { const c = document.getElementById('canvas'), r = c.getBoundingClientRect();"
                        " return c.width === 800 && c.height === 600 && r.width === 800 && r.height === 600; })()",
                        timeout=10), "the canvas is not 800 x 600 after No")
    check(not page.evaluate("document.fullscreenElement"), "No went full screen")
    width, height, pixels = wait_lit(page, 8)
    check((width, height) == (800, 600), "canvas shot %d x %d" % (width, height))
    check(browser.lit_fraction(pixels) > 0.05, "the canvas stays black after No")

    check(page.wait_for("window.__audioContexts.some(c => c.made >= %f && c.context.state === 'running')" % clicked,
                        timeout=10), "no sound started after the click: %r" % audio_states(page))

    position, second = frame_at_second(page, 5, timeout=20)
    check(second in (5, 6), "held at second %d, not about 5" % second)
    width, height, pixels = page.screenshot("#canvas")
    page.evaluate("Module.resumeMainLoop()")
    browser.write_png(os.path.join(out, "browser_second5.png"), width, height, pixels)
    check(browser.lit_fraction(pixels) > 0.2, "second 5 is mostly black")
    if args.capture:
        difference = compare_with_desktop(args, pixels, position, second, out)
        print("second 5, position %.2f: mean difference from the desktop's frame %.2f of 255" % (position, difference))
        check(difference < 4.0, "the browser's frame at %.2f differs from the desktop's by %.2f on average (see %s)"
              % (position, difference, out))
    expect_clean_console(page)


def case_window(page, args, out):
    page.open(args.url + "?window")
    check(page.wait_for(RUNNING, timeout=90), "?window did not start the show")
    check(not shown(page, "#question"), "?window asked the question")
    width, height, pixels = wait_lit(page, 8)
    check(browser.lit_fraction(pixels) > 0.05, "the canvas stays black")
    check(page.wait_for("window.__audioContexts.length > 0", timeout=10), "the show never asked for sound")
    states = audio_states(page)
    check(all(state == "suspended" and not activated for _, activated, state in states),
          "sound played before any gesture: %r" % states)

    page.click_element("#canvas")
    check(page.wait_for("window.__audioContexts.every(c => c.context.state === 'running')", timeout=5),
          "the first click did not start the tune: %r" % audio_states(page))

    page.press("Escape", "Escape", 27)
    check(page.wait_for("!document.getElementById('ended').hidden", timeout=5), "Escape did not end the show")
    check(not shown(page, "#canvas"), "the show is still visible after Escape")
    check(page.evaluate("window.showExitCode") == 0, "exit code %r" % page.evaluate("window.showExitCode"))
    frames = page.evaluate("Module._web_frame_counter()")
    time.sleep(0.5)
    check(page.evaluate("Module._web_frame_counter()") == frames, "frames are still drawn after the end")
    check(page.wait_for("window.__audioContexts.every(c => c.context.state === 'closed')", timeout=5),
          "the tune plays on after the end")
    check("has ended" in page.evaluate("document.body.innerText"), "no ended page")
    expect_clean_console(page)


def case_fullscreen(page, args, out):
    page.open(args.url)
    check(page.wait_for("!document.getElementById('question').hidden", timeout=90), "no question")
    page.click_element("#yes")
    check(page.wait_for("document.fullscreenElement === document.getElementById('canvas')", timeout=5),
          "Yes did not put the canvas in full screen")
    check(page.wait_for(RUNNING, timeout=10), "the show did not start after Yes")
    check(page.evaluate("[document.getElementById('canvas').width, document.getElementById('canvas').height]")
          == [800, 600], "full screen changed the show's picture size")
    width, height, pixels = wait_lit(page, 8)
    check(browser.lit_fraction(pixels) > 0.05, "the full-screen canvas stays black")
    # The browser takes Escape to leave full screen; the show ends on that.
    page.evaluate("document.exitFullscreen()")
    check(page.wait_for("!document.getElementById('ended').hidden", timeout=5),
          "leaving full screen did not end the show")
    check(not page.evaluate("document.fullscreenElement"), "still full screen after the end")
    expect_clean_console(page)


def case_hidpi(page, args, out):
    page.command("Emulation.setDeviceMetricsOverride", width=1024, height=768, deviceScaleFactor=2, mobile=False)
    page.open(args.url + "?window")
    check(page.evaluate("window.devicePixelRatio") == 2, "the page's devicePixelRatio is not 2")
    check(page.wait_for(RUNNING, timeout=90), "?window did not start the show")
    canvas = page.evaluate("(() => { const c = document.getElementById('canvas'), r = c.getBoundingClientRect();"
                           " return [c.width, c.height, r.width, r.height]; })()")
    print("canvas: %dx%d pixels in %dx%d of the page" % tuple(canvas))
    check(canvas == [1600, 1200, 800, 600], "the canvas is %dx%d pixels in %dx%d of the page" % tuple(canvas))
    width, height, pixels = wait_lit(page, 8)
    browser.write_png(os.path.join(out, "hidpi.png"), width, height, pixels)
    check(browser.lit_fraction(pixels) > 0.05, "the 1600 x 1200 canvas stays black")
    expect_clean_console(page)


def case_show_end(page, args, out):
    page.open(args.url + "?window")
    check(page.wait_for(RUNNING, timeout=90), "?window did not start the show")
    start = page.evaluate("Module._web_elapsed_seconds()")
    # The show's clock reads the page's calendar: move it on to second 222.
    page.evaluate("window.__clockShift = %d * 1000" % (222 - start))
    check(page.wait_for("Module._web_elapsed_seconds() >= 222", timeout=5), "the clock shift did not reach the show")
    width, height, pixels = page.screenshot("#canvas")
    check(browser.lit_fraction(pixels, 8) < 0.01, "seconds 220 to 225 are not black")
    check(page.wait_for("!document.getElementById('ended').hidden", timeout=10),
          "the show did not end after second 225")
    check(page.evaluate("window.showExitCode") == 0, "exit code %r" % page.evaluate("window.showExitCode"))
    expect_clean_console(page)


# The showings that draw meshes, by their names in the show's scene table; a
# frame inside each is compared.
MESH_SHOWINGS = ["reflecting spheres", "counter meshes", "blob sheet", "reflecting spheres 2", "tunnel", "twin bowls"]
TIED_FPS = 2  # frames per second of the tied clock: few frames, every scene on its schedule


def case_stall(page, args, out):
    page.open(args.url)
    check(page.wait_for("!document.getElementById('question').hidden", timeout=90), "no start-up question")
    page.click_element("#no")
    check(page.wait_for(RUNNING, timeout=20), "No did not start the show")
    check(page.wait_for("window.__audioContexts.some(c => c.context.state === 'running')", timeout=10),
          "no sound after the click: %r" % audio_states(page))
    check(page.wait_for("Module._web_elapsed_seconds() >= 5", timeout=30), "the show never reached second 5")
    schedule = page.evaluate("JSON.parse(UTF8ToString(Module._web_schedule()))")
    cut = min(row["first"] for row in schedule if row["first"] > 10)
    # The page's sound starts once the opening scene's start-up has returned:
    # a slow start may be caught up with once.
    started = page.evaluate("Module._web_tune_moves()")
    check(started <= 1, "the tune was moved %d times before any stall" % started)
    page.evaluate("window.__visibility = []; document.addEventListener('visibilitychange',"
                  " () => window.__visibility.push(document.visibilityState))")
    window = page.command("Browser.getWindowForTarget")["windowId"]
    # Hidden, and frozen as the browser freezes a tab left in the background:
    # its script and its sound stop.
    page.command("Browser.setWindowBounds", session=False, windowId=window, bounds={"windowState": "minimized"})
    page.command("Page.setWebLifecycleState", state="frozen")
    time.sleep(5)
    page.command("Page.setWebLifecycleState", state="active")
    page.command("Browser.setWindowBounds", session=False, windowId=window, bounds={"windowState": "normal"})
    check(page.wait_for("Module._web_elapsed_seconds() > %d" % cut, timeout=30), "the show never reached second %d" % cut)
    seen = page.evaluate("window.__visibility")
    check(seen == ["hidden", "visible"], "the page was not hidden and shown again: %r" % seen)
    tunes = page.evaluate("Array.from({length: %d}, (_, s) => Module._web_tune_at_second(s))" % (cut + 1))
    moves = page.evaluate("Module._web_tune_moves()")
    # Where the tune was as each second began (read at its first frame, less
    # the time since, however late that frame came), to the output's buffer:
    # the seconds before the stall show that offset, which the cut keeps to
    # within 50 ms.
    before = [tunes[s] - s for s in range(1, 5) if tunes[s] >= 0]
    check(before, "no tune playing before the stall: %r" % tunes[:5])
    offset = sum(before) / len(before)
    print("the tune %.3f s past the second before the stall; at the cut of second %d at %.3f s; moved %d times"
          % (offset, cut, tunes[cut], moves))
    check(abs(tunes[cut] - cut - offset) <= 0.05, "the cut at second %d came at the tune's %.3f s" % (cut, tunes[cut]))
    check(moves > started, "the tune was never moved to the clock")
    expect_clean_console(page)


def case_scenes(page, args, out):
    check(args.capture and args.media, "scenes needs --capture and --media")
    page.open(args.url + "?window", setup="window.__framesPerSecond = %d;" % TIED_FPS)
    check(page.wait_for(RUNNING, timeout=90), "?window did not start the show")
    table = {row["name"]: row for row in page.evaluate("JSON.parse(Module.UTF8ToString(Module._web_schedule()))")}
    check(all(name in table for name in MESH_SHOWINGS), "showings missing from the scene table: %r" % sorted(table))
    mesh_scenes = [((table[name]["first"] + table[name]["last"]) // 2, name) for name in MESH_SHOWINGS]
    frames = [second * TIED_FPS + 1 for second, _ in mesh_scenes]  # each second's second frame
    shots = {}
    for frame in frames:
        held = hold_frame(page, frame, timeout=120)
        check(held == frame, "held frame %d, not %d" % (held, frame))
        check(page.evaluate("Module._web_elapsed_seconds()") == frame // TIED_FPS, "the clock is not tied to frames")
        shots[frame] = page.screenshot("#canvas")[2]
        page.evaluate("Module.resumeMainLoop()")
    expect_clean_console(page)
    subprocess.run([args.capture, "--fps", str(TIED_FPS), "--at",
                    ",".join("%.6f" % ((f - 0.5) / TIED_FPS) for f in frames), "--out", out, "--media", args.media],
                   check=True, stdout=subprocess.DEVNULL)
    worst = []
    for (second, name), frame in zip(mesh_scenes, frames):
        browser.write_png(os.path.join(out, "browser_%06d.png" % frame), 800, 600, shots[frame])
        with open(os.path.join(out, "frame_%06d.png" % frame), "rb") as f:
            desktop = browser.decode_png(f.read())[2]
        difference = mean_difference(shots[frame], desktop)
        print("second %d (%s), frame %d: mean difference %.2f of 255, lit %.2f"
              % (second, name, frame, difference, browser.lit_fraction(shots[frame])))
        check(browser.lit_fraction(shots[frame]) > 0.05, "second %d (%s) is black" % (second, name))
        if difference >= 4.0:
            worst.append("%s at second %d differs by %.2f" % (name, second, difference))
    check(not worst, "the browser's frames differ from the desktop's: " + "; ".join(worst) + " (see %s)" % out)


# Stands in for the browser's animation frames and its clock before the page
# loads: a display at HZ whose refreshes come one after another as fast as the
# page takes them, each at its own time on the page's clock (performance.now),
# so that what is drawn follows from the pace alone, not from how fast this
# machine draws. Refreshes come JITTER ms early and late in turn, as a real
# display's animation frames do. Once window.__fires is an array, each refresh
# is noted there as [its time, whether the show drew a frame in it, the
# position of the show's last frame].
ANIMATION_FRAMES = """
(() => {
  const period = 1000 / %d, jitter = %f, origin = performance.now();
  let now = origin, refreshes = 0, waiting = [], pending = false;
  performance.now = () => now;
  window.__fires = null;
  window.requestAnimationFrame = (callback) => {
    waiting.push(callback);
    if (!pending) {
      pending = true;
      setTimeout(fire, 0);
    }
    return waiting.length;
  };
  const shown = () => (window.Module && Module.calledRun ? Module._web_frame_counter() : 0);
  function fire() {
    refreshes += 1;
    now = origin + refreshes * period + (refreshes %% 2 ? jitter : -jitter);
    const callbacks = waiting, before = shown();
    waiting = [];
    pending = false;
    for (const callback of callbacks) callback(now);
    if (window.__fires) window.__fires.push([now, shown() > before, Module._web_frame_position()]);
  }
})();
"""


def case_pace(page, args, out):
    seconds = 3  # on the stood-in clock
    for hz, jitter, query in ((144, 0.5, ""), (30, 1.5, ""), (144, 0.5, "&fps=60")):
        name = "%d Hz%s" % (hz, query and " with ?" + query[1:])
        page.open(args.url + "?window" + query, setup=ANIMATION_FRAMES % (hz, jitter))
        check(page.wait_for(RUNNING, timeout=90), "?window did not start the show at %s" % name)
        # On to the blank end: its frames are cleared and nothing more, and
        # the show ends by itself six seconds later.
        page.evaluate("window.__clockShift = (220 - Module._web_elapsed_seconds()) * 1000")
        check(page.wait_for("Module._web_elapsed_seconds() >= 220", timeout=10), "%s: no blank end" % name)
        page.evaluate("window.__fires = []")
        check(page.wait_for("window.__fires.length >= %d" % (hz * seconds), timeout=5),
              "%s: the refreshes stopped" % name)
        fires = page.evaluate("window.__fires")[:hz * seconds]
        drawn = [(at / 1000, position) for at, drew, position in fires if drew]
        most = max(sum(1 for t, _ in drawn[i:] if t < start + 1.0) for i, (start, _) in enumerate(drawn))
        pace = (drawn[-1][1] - drawn[0][1]) / (drawn[-1][0] - drawn[0][0])
        repeats = sum(1 for a, b in zip(drawn, drawn[1:]) if b[1] <= a[1])
        print("%s (refreshes %.1f ms early and late in turn): %d show frames in %d s, at most %d in one second, "
              "positions %.2f a second, %d repeated" % (name, jitter, len(drawn), seconds, most, pace, repeats))
        check(abs(pace - 60) < 0.5, "%s: positions advance %.2f a second" % (name, pace))
        check(repeats == 0, "%s: %d frames at the position of the frame before" % (name, repeats))
        if query:
            check(most <= 61, "%d show frames in one second at %s" % (most, name))
            check(len(drawn) >= 59 * seconds, "only %d show frames in %d s at %s" % (len(drawn), seconds, name))
        else:
            missed = [at for at, drew, _ in fires if not drew]
            check(not missed, "%s: no show frame on the refreshes at %s ms"
                  % (name, ", ".join("%.1f" % t for t in missed[:10])))
    expect_clean_console(page)


CASES = {"question": case_question, "window": case_window, "fullscreen": case_fullscreen, "hidpi": case_hidpi,
         "show-end": case_show_end, "stall": case_stall,
         "scenes": case_scenes, "pace": case_pace}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--page", required=True, help="the folder holding index.html")
    parser.add_argument("--capture", help="the desktop build's capture tool, for comparing frames")
    parser.add_argument("--media", help="the media folder the capture tool runs in")
    parser.add_argument("--out", help="where pictures go (default: a temporary folder)")
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--webgl", choices=sorted(browser.WEBGL), default="swiftshader")
    args = parser.parse_args()
    out = args.out or tempfile.mkdtemp(prefix="show-web-")
    os.makedirs(out, exist_ok=True)
    server = browser.PageServer(args.page)
    args.url = server.url + "index.html"
    page = browser.Chromium(args.chromium, args.webgl)
    print("WebGL: %s" % page.webgl)
    try:
        CASES[args.case](page, args, out)
    except Failure as failure:
        print("FAIL %s: %s" % (args.case, failure))
        print("console:\n  " + "\n  ".join(page.console_lines()[-40:]))
        return 1
    finally:
        page.close()
        server.close()
    print("ok %s" % args.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
