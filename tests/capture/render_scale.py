#!/usr/bin/python3
"""The show drawn at twice its size is the same picture, drawn sharper, in
every showing; fitted into a 1080p video it lies between black bars.

  render_scale.py CAPTURE BENCH_SCENES MEDIA WORKDIR

Each showing's middle second is captured at scale 1 and 2 (a few frames a
second of show time: the state at a frame depends on all frames before it,
and both runs draw the same ones). Scale 2 box-filtered to 800x600 must match
scale 1 closely (mean absolute difference of the channels, of 255), and hold
detail that 800x600 cannot: what a pass through 800x600 takes away from it
(mean absolute difference) must be well above what it takes from scale 1
blown up to 1600x1200."""
import json
import os
import shutil
import subprocess
import sys

from PIL import Image, ImageChops, ImageStat

capture, bench, media, work = sys.argv[1:5]
shutil.rmtree(work, ignore_errors=True)  # a run before this one leaves nothing to be taken for its output
os.makedirs(work)
FPS = 5
failures = []


def run(*args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"FAIL: {' '.join(args)}: exit {done.returncode}: {done.stderr[-2000:]}")
    return done.stdout


def mean_difference(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3


def finer_than_800x600(picture):
    through = picture.resize((800, 600), Image.BOX).resize(picture.size, Image.BILINEAR)
    return mean_difference(picture, through)


showings = []
for line in run(bench, "--list").splitlines():
    first, last, name = line.split(" ", 2)
    showings.append((name, (int(first) + int(last) + 1) // 2))
seconds = ",".join(str(second) for _, second in showings)
for scale in (1, 2):
    run(capture, "--media", media, "--fps", str(FPS), "--at", seconds, "--scale", str(scale),
        "--out", f"{work}/scale{scale}")

print(f"{'showing':22} {'second':>6} {'difference':>10} {'finer (2)':>10} {'finer (1 up)':>12}")
for name, second in showings:
    file = f"frame_{second * FPS:06d}.png"
    one = Image.open(f"{work}/scale1/{file}").convert("RGB")
    two = Image.open(f"{work}/scale2/{file}").convert("RGB")
    if one.size != (800, 600) or two.size != (1600, 1200):
        failures.append(f"{name}: sizes {one.size} and {two.size}")
        continue
    if ImageStat.Stat(one).mean == [0, 0, 0]:
        failures.append(f"{name}: the frame at second {second} is black")
    difference = mean_difference(two.resize((800, 600), Image.BOX), one)
    sharp, blown_up = finer_than_800x600(two), finer_than_800x600(one.resize((1600, 1200), Image.BILINEAR))
    print(f"{name:22} {second:6} {difference:10.2f} {sharp:10.3f} {blown_up:12.3f}")
    if difference > 3:
        failures.append(f"{name}: scale 2 filtered down differs from scale 1 by {difference:.2f}")
    if sharp < 1.2 * blown_up:  # 1.0 for a frame drawn at 800x600 and blown up
        failures.append(f"{name}: scale 2 holds no more fine detail than scale 1 blown up ({sharp:.3f}, {blown_up:.3f})")

# A 1080p video of a second and a half across the first cut, with the tune:
# H.264 at 1920x1080, the 4:3 picture between bars of 240 columns.
video = f"{work}/show.mp4"
run(capture, "--media", media, "--fps", "30", "--from", "19", "--to", "20.5", "--size", "1920x1080",
    "--video", video, "--preset", "ultrafast")
probe = json.loads(run("ffprobe", "-v", "error", "-show_streams", "-of", "json", video))
streams = {stream["codec_type"]: stream for stream in probe["streams"]}
video_stream = streams.get("video", {})
if (video_stream.get("codec_name"), video_stream.get("width"), video_stream.get("height")) != ("h264", 1920, 1080):
    failures.append(f"video stream: {video_stream.get('codec_name')} {video_stream.get('width')}x{video_stream.get('height')}")
if "audio" not in streams:
    failures.append("the video has no sound track")
still = f"{work}/still.png"
run("ffmpeg", "-v", "error", "-y", "-ss", "1.2", "-i", video, "-frames:v", "1", still)
frame = Image.open(still).convert("L")
bars = max(frame.crop((0, 0, 236, 1080)).getextrema()[1], frame.crop((1684, 0, 1920, 1080)).getextrema()[1])
picture = ImageStat.Stat(frame.crop((240, 0, 1680, 1080))).mean[0]
print(f"1080p video: bars at most {bars}, the picture's mean {picture:.1f}")
if bars > 16:  # the encoder's ringing near the picture's edge aside, black
    failures.append(f"the video's bars are not black (up to {bars})")
if picture < 10:
    failures.append(f"the video's picture is black (mean {picture:.1f})")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
