#!/usr/bin/env python3
"""Checks the generated media with readers nobody here wrote.

usage: check_media.py MEDIAGEN WORKDIR

Runs the generator twice (the bytes must match), then opens every picture
with Pillow and compares its decoded pixels with the CRC the generator
reports, reads every mesh with `assimp info` and the tune with `openmpt123
--info` and `xmp --load-only`, and checks each against the manifest and
against where the show places it.
"""
import os
import re
import shutil
import subprocess
import sys
import zlib

from PIL import Image

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True, check=False)
    except FileNotFoundError:
        sys.exit("%s is not installed (scripts/deps.sh installs it)" % args[0])


def generate(tool, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    out = run(tool, folder)
    if out.returncode != 0:
        sys.exit("mediagen failed: " + out.stderr)
    return [line.split() for line in out.stdout.splitlines()]


def check_determinism(a, b):
    names = sorted(os.listdir(a))
    check(names == sorted(os.listdir(b)), "both runs write the same files")
    for name in names:
        with open(os.path.join(a, name), "rb") as f, open(os.path.join(b, name), "rb") as g:
            check(f.read() == g.read(), name + ": identical bytes on a second run")


def column_seam(img):
    """Mean step across the wrap (last column to first) over the mean step
    between neighbouring columns inside the picture, per channel summed."""
    px = img.convert("RGB").load()
    w, h = img.size
    def step(x0, x1):
        return sum(abs(a - b) for y in range(0, h, 2) for a, b in zip(px[x0, y], px[x1, y]))
    inside = sum(step(x, x + 1) for x in range(8, w - 8, w // 16)) / len(range(8, w - 8, w // 16))
    return step(w - 1, 0) / max(inside, 1)


TILING = {"flog.tga", "fogup.tga", "envi.tga", "blobs.tga", "holes.tga", "crysblb.tga", "lights.tga", "clouds.tga"}
# Header size, bits per pixel, compression of each mesh bitmap.
BITMAP_KINDS = {(40, 24, 0), (40, 8, 0), (40, 8, 1), (40, 4, 0), (12, 8, 0)}


def check_image(folder, name, width, height, mode, crc):
    path = os.path.join(folder, name)
    with open(path, "rb") as f:
        head = f.read(54)
    img = Image.open(path)
    check(img.size == (int(width), int(height)), name + ": size")
    if name.endswith(".tga"):
        check(head[:12] == bytes([0, 0, 2] + [0] * 9), name + ": the 12-byte Targa header the show accepts")
        check(head[16] == (32 if mode == "RGBA" else 24), name + ": depth")
        check(int(width) in (256, 512) and width == height, name + ": 256 or 512 square")
    try:
        pixels = img.convert(mode).tobytes()
    except (OSError, ValueError) as e:
        check(False, "%s: Pillow cannot decode it (%s)" % (name, e))
        return None
    check("%08x" % zlib.crc32(pixels) == crc, name + ": decoded pixels match the generator's picture")
    if mode == "RGBA":
        alpha = img.getchannel("A").getextrema()
        check(alpha == (0, 255), name + ": alpha spans 0..255")
        corners = [img.getpixel(p)[3] for p in [(0, 0), (int(width) - 1, int(height) - 1)]]
        check(corners == [0, 0], name + ": transparent corners")
    if name in TILING:
        seam = column_seam(img)
        check(seam < 2.5, "%s: tiles without a seam (wrap step %.2f of the mean)" % (name, seam))
        seam = column_seam(img.transpose(Image.Transpose.ROTATE_90))
        check(seam < 2.5, "%s: tiles vertically (wrap step %.2f of the mean)" % (name, seam))
    if name.endswith(".tga") and name not in {"myvelvet.tga", "thennew.tga", "bg.tga", "clouds.tga", "envmap.tga"}:
        mean = sum(img.convert("L").getdata()) / (int(width) * int(height))
        check(mean > 8, "%s: not black (mean %.1f)" % (name, mean))
    if name.endswith(".bmp"):
        return (int.from_bytes(head[14:18], "little"),
                int.from_bytes(head[28:30] if head[14] == 40 else head[24:26], "little"),
                int.from_bytes(head[30:34], "little") if head[14] == 40 else 0)
    return None


def assimp_figures(path):
    out = run("assimp", "info", path).stdout
    def number(label):
        m = re.search(r"^%s:\s+(\d+)" % label, out, re.M)
        return int(m.group(1)) if m else -1
    def point(label):
        m = re.search(r"^%s point\s+\(([-\d.e]+) ([-\d.e]+) ([-\d.e]+)\)" % label, out, re.M)
        return [float(v) for v in m.groups()] if m else [0, 0, 0]
    refs = re.findall(r"^\s+'([^']+\.bmp)'", out, re.M)
    return {"faces": number("Faces"), "meshes": number("Meshes"), "materials": number("Materials"),
            "lights": number("Lights"), "cameras": number("Cameras"), "min": point("Minimum"),
            "max": point("Maximum"), "refs": sorted(set(refs))}


def check_mesh(folder, fields, bounds):
    name, objects, materials, triangles, meshes = fields[0], *map(int, fields[1:5])
    lo, hi = [float(v) for v in fields[5:8]], [float(v) for v in fields[8:11]]
    maps = sorted(fields[11:])
    a = assimp_figures(os.path.join(folder, name))
    check(a["faces"] == triangles, "%s: %d triangles, assimp reads %d" % (name, triangles, a["faces"]))
    check(a["meshes"] == meshes, "%s: %d mesh objects, assimp reads %d" % (name, meshes, a["meshes"]))
    check(a["materials"] == materials, "%s: %d materials" % (name, materials))
    check(a["meshes"] + a["lights"] + a["cameras"] == objects, name + ": objects incl. the light or camera")
    check(a["lights"] + a["cameras"] >= 1, name + ": a light or camera")
    check(a["refs"] == maps, "%s: texture maps %s" % (name, a["refs"]))
    for m in maps:
        check(os.path.exists(os.path.join(folder, m)), "%s: names %s, which exists" % (name, m))
    # assimp turns 3D Studio's z-up into y-up the way the show does: (x, y, z) -> (x, z, -y).
    close = all(abs(x - y) < 0.01 for x, y in zip(a["min"] + a["max"], lo + hi))
    check(close, "%s: bounds %s %s as written" % (name, a["min"], a["max"]))
    check(2000 <= triangles <= 20000, "%s: %d triangles" % (name, triangles))
    bounds[name] = (a["min"], a["max"])


def check_placement(bounds):
    """Sizes for where each scene puts its mesh (show axes, units)."""
    def radius(name):
        lo, hi = bounds[name]
        return max(max(abs(v) for v in lo), max(abs(v) for v in hi))
    r = radius("magic.3ds")
    check(15 <= r <= 25, "magic: radius %.1f for 80 units away" % r)
    r = radius("orey.3ds")
    check(1.2 <= r <= 2.0, "orey: radius %.2f for 5 to 8 away" % r)
    r = radius("shob.3ds")
    check(2.0 <= r <= 3.0, "shob: radius %.2f for 10 away" % r)
    for name in ("yeah.3ds", "aru.3ds"):
        lo, hi = bounds[name]
        check(abs(lo[1]) < 0.5, "%s: stands on y = 0 (min y %.2f)" % (name, lo[1]))
        check(20 <= hi[1] <= 32, "%s: %.1f tall, rising into view from 25 below the eye" % (name, hi[1]))
    (ylo, yhi), (alo, ahi) = bounds["yeah.3ds"], bounds["aru.3ds"]
    check(yhi[0] < alo[0] or ahi[0] < ylo[0], "yeah and aru stand apart")


def check_module(folder, fields):
    name, channels, instruments, patterns, orders, rows = fields[0], *map(int, fields[1:])
    path = os.path.join(folder, name)
    info = run("openmpt123", "--info", path).stdout
    def field(label):
        m = re.search(r"^%s\.*: (.*)$" % label, info, re.M)
        return m.group(1).strip() if m else ""
    check(field("Duration") == "03:46.000", "openmpt123 duration %r" % field("Duration"))
    check(field("Type").startswith("xm"), "openmpt123 reads an extended module")
    check(int(field("Channels") or 0) == channels >= 8, "openmpt123 channels " + field("Channels"))
    check(int(field("Instruments") or 0) == instruments >= 6, "openmpt123 instruments " + field("Instruments"))
    check(int(field("Orders") or 0) == orders, "openmpt123 orders " + field("Orders"))
    check(rows == 1808, "1808 rows, 226 s at 8 rows a second")
    out = run("xmp", "--load-only", path)
    text = out.stdout + out.stderr
    check(re.search(r"Channels\s*: %d\b" % channels, text) is not None, "xmp channels")
    check(re.search(r"Instruments\s*: %d\b" % instruments, text) is not None, "xmp instruments")
    check("3min46s" in text, "xmp duration 3min46s")


def main():
    tool, work = sys.argv[1], sys.argv[2]
    a, b = os.path.join(work, "a"), os.path.join(work, "b")
    manifest = generate(tool, a)
    generate(tool, b)
    check_determinism(a, b)
    kinds, bounds = set(), {}
    for fields in manifest:
        if fields[0] == "image":
            kind = check_image(a, *fields[1:])
            if kind:
                kinds.add(kind)
        elif fields[0] == "mesh":
            check_mesh(a, fields[1:], bounds)
        elif fields[0] == "module":
            check_module(a, fields[1:])
    check(kinds == BITMAP_KINDS, "bitmap encodings %s" % sorted(kinds))
    check(len([f for f in manifest if f[1].endswith(".tga")]) == 18, "18 Targa files")
    check(len(bounds) == 5, "five meshes")
    if len(bounds) == 5:
        check_placement(bounds)
    print("checked %d files, %d failures" % (len(manifest), len(failures)))
    for name, (lo, hi) in sorted(bounds.items()):
        print("%-10s show-axis bounds min (%.2f %.2f %.2f) max (%.2f %.2f %.2f)" % (name, *lo, *hi))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
