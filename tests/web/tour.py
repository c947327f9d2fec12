#!/usr/bin/env python3
"""Plays the whole show once in headless Chromium, in real time, and prints
the frames per second of each scene; a screenshot of each scene goes to the
output folder. A measurement, not a test: software WebGL (SwiftShader) on
this machine's CPU.

  tour.py --page DIR --out DIR
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
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    server = browser.PageServer(args.page)
    page = browser.Chromium(args.chromium)
    try:
        page.open(server.url + "index.html?window")
        if not page.wait_for("!document.getElementById('canvas').hidden && Module._web_frame_counter() > 0",
                             timeout=120):
            print("the show did not start")
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
                if second in shots:
                    box = page.evaluate("(() => { const r = document.getElementById('canvas')"
                                        ".getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; })()")
                    shot = page.command("Page.captureScreenshot", format="png", clip={
                        "x": box[0], "y": box[1], "width": box[2], "height": box[3], "scale": 1})
                    name = "second_%03d.png" % second
                    with open(os.path.join(args.out, name), "wb") as f:
                        f.write(base64.b64decode(shot["data"]))
            time.sleep(0.05)
        print("%-34s %9s %7s %6s" % ("scene", "seconds", "frames", "fps"))
        for first, last, name in scenes:
            # Whole seconds only: from the first frame of the scene's first
            # second to the first frame of the second after its last.
            # The page is polled from its start, which may lie a second or two in.
            seen = [second for second in first_frame if first <= second <= last]
            start = min(seen) if seen else None
            if start is not None and last + 1 in first_frame:
                frames = first_frame[last + 1] - first_frame[start]
                print("%-34s %4d-%-4d %7d %6.1f" % (name, start, last, frames, frames / (last + 1 - start)))
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
