#!/usr/bin/python3
"""Plays the whole show once in headless Chromium, in real time, and prints
for each showing the frames per second and the main thread's milliseconds
per drawn frame (median and 95th percentile, as the page itself times its
animation frames), then the audio callbacks that came too late to keep the
tune going; a screenshot of each showing goes to the output folder. A
measurement, not a test: software WebGL on this machine's CPU, SwiftShader
by default, or llvmpipe (the desktop's rasterizer, through ANGLE).

  tour.py --page DIR --out DIR [--webgl swiftshader|llvmpipe]
"""
import argparse
import base64
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--webgl", choices=sorted(browser.WEBGL), default="swiftshader")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    server = browser.PageServer(args.page)
    page = browser.Chromium(args.chromium, args.webgl)
    print("WebGL: %s" % page.webgl)
    costs = {}  # second -> the milliseconds of its drawn frames
    fetched = 0
    tune = [0, 0, 0, -1.0]  # late audio callbacks, moves of the tune, a second, the tune there
    try:
        # As a visitor starts it: No in the question, whose click starts the tune.
        page.open(server.url + "index.html")
        if not page.wait_for("!document.getElementById('question').hidden", timeout=90):
            print("no start-up question")
            return 1
        page.click_element("#no")
        if not page.wait_for("!document.getElementById('canvas').hidden && Module._web_frame_counter() > 0 &&"
                             " window.__audioContexts.some(c => c.context.state === 'running')", timeout=120):
            print("the show or its tune did not start")
            return 1
        # The showings, from the show's own scene table; then the blank end.
        schedule = page.evaluate("JSON.parse(Module.UTF8ToString(Module._web_schedule()))")
        scenes = [(row["first"], row["last"], row["name"]) for row in schedule]
        scenes.append((scenes[-1][1] + 1, 225, "blank end"))
        first_frame = {}  # second -> frame counter when first seen
        shots = {(a + b) // 2: name for a, b, name in scenes}
        while True:
            state = page.evaluate("document.getElementById('ended').hidden ? "
                                  "[Module._web_elapsed_seconds(), Module._web_frame_counter()] : null")
            if state is None:
                break
            second, frames = int(state[0]), float(state[1])
            if second not in first_frame:
                first_frame[second] = frames
                new = page.evaluate("(() => { const n = Module._web_frame_costs(), out = [];"
                                    " for (let i = %d; i < n; ++i) out.push([Module._web_frame_cost_second(i),"
                                    " Module._web_frame_cost_ms(i)]); return out; })()" % fetched)
                fetched += len(new)
                # Read while the show runs: it is gone once it has ended.
                tune = page.evaluate("[Module._web_tune_late_callbacks(), Module._web_tune_moves(),"
                                     " %d, Module._web_tune_at_second(%d)]" % (second - 1, second - 1))
                for at, ms in new:
                    costs.setdefault(at, []).append(ms)
                if second in shots:
                    box = page.evaluate("(() => { const r = document.getElementById('canvas')"
                                        ".getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; })()")
                    shot = page.command("Page.captureScreenshot", format="png", clip={
                        "x": box[0], "y": box[1], "width": box[2], "height": box[3], "scale": 1})
                    name = "second_%03d.png" % second
                    with open(os.path.join(args.out, name), "wb") as f:
                        f.write(base64.b64decode(shot["data"]))
            time.sleep(0.05)
        print("%-34s %9s %7s %6s %9s %6s" % ("scene", "seconds", "frames", "fps", "median ms", "p95 ms"))
        for first, last, name in scenes:
            # Whole seconds only: from the first frame of the scene's first
            # second to the first frame of the second after its last.
            # The page is polled from its start, which may lie a second or two in.
            seen = [second for second in first_frame if first <= second <= last]
            start = min(seen) if seen else None
            if start is not None and last + 1 in first_frame:
                frames = first_frame[last + 1] - first_frame[start]
                ms = sorted(m for second in range(start, last + 1) for m in costs.get(second, []))
                median = ms[len(ms) // 2] if ms else float("nan")
                p95 = ms[min(len(ms) - 1, int(len(ms) * 0.95))] if ms else float("nan")
                print("%-34s %4d-%-4d %7d %6.1f %9.2f %6.2f" % (name, start, last, frames,
                                                               frames / (last + 1 - start), median, p95))
        print("late audio callbacks: %d; tune moved: %d; the tune at %.3f s at second %d" % (
            tune[0], tune[1], tune[3], tune[2]))
        errors = page.uncaught_errors()
        print("uncaught errors: %d" % len(errors))
        for error in errors:
            print("  " + error)
    finally:
        page.close()
        server.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
