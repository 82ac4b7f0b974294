#!/usr/bin/env python3
"""Writes the bundled examples: examples/demo.txt (a drawing for A1 paper)
and examples/sunset.png (the colour image it places). Reproducible: run it
again and the files come out byte for byte the same.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")


def write_png(path, width, height, pixel):
    rows = b""
    for y in range(height):
        rows += b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def sunset(x, y, w=160, h=100):
    # Sky from deep blue to orange, a sun, dark hills.
    t = y / (h - 1)
    sky = (int(30 + 225 * t), int(40 + 120 * t), int(120 - 80 * t))
    dx, dy = x - 0.62 * w, y - 0.55 * h
    if dx * dx + dy * dy < (0.16 * h) ** 2:
        sky = (255, 220, 60)
    hill = 0.72 * h + 0.08 * h * math.sin(x / w * 2 * math.pi * 1.5)
    if y > hill:
        sky = (20, 70 + int(30 * math.sin(x / 7.0)), 30)
    return sky


def polygon(cx, cy, r, n, start=90.0, step=1):
    pts = []
    for k in range(n):
        a = math.radians(start + 360.0 * k * step / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def fmt(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def demo():
    out = []
    w = out.append
    w("# The bundled example: lines in several pens and line types, filled")
    w("# polygons and a colour image, on A1 paper (841 x 594 mm).")
    w("# Regenerate with scripts/make-examples.py.")
    w("units mm")
    w("linetypes 8")
    w("")
    w("# A frame in pen 7 (black), 0.5 mm wide")
    w("pen 7")
    w("width 0.5mm")
    w("move 10 10")
    for x, y in [(820, 10), (820, 570), (10, 570), (10, 10)]:
        w("draw %s %s" % (fmt(x), fmt(y)))
    w("")
    w("# Line types 0 to 8, one pen each")
    w("width 0.35mm")
    for t in range(9):
        y = 540 - 22 * t
        w("pen %d" % (t + 1))
        w("linetype %d" % t)
        w("move 30 %d" % y)
        w("draw 330 %d" % y)
    w("linetype 0")
    w("")
    w("# A spiral in pen 5 (blue)")
    w("pen 5")
    w("width 0.25mm")
    pts = []
    for k in range(0, 361):
        a = math.radians(k * 4)
        r = 5 + k * 0.28
        pts.append((180 + r * math.cos(a), 170 + r * math.sin(a)))
    w("move %s %s" % (fmt(pts[0][0]), fmt(pts[0][1])))
    for x, y in pts[1:]:
        w("draw %s %s" % (fmt(x), fmt(y)))
    w("")
    w("# Filled polygons: vertices inside the request and as an array")
    fills = [
        ("fill", 1, polygon(420, 470, 60, 5, step=2)),   # red star
        ("fill", 3, polygon(560, 470, 55, 6)),           # green hexagon
        ("fillarray", 4, polygon(700, 470, 55, 3)),      # cyan triangle
        ("fillarray", 6, polygon(420, 330, 50, 8)),      # magenta octagon
        ("fill", 2, [(500, 280), (640, 280), (640, 380), (500, 380)]),  # yellow square
    ]
    for verb, colour, pts in fills:
        w("%s %d %s" % (verb, colour, " ".join("%s %s" % (fmt(x), fmt(y)) for x, y in pts)))
    w("")
    w("# Outlines over the fills in pen 7")
    w("pen 7")
    w("width 0.35mm")
    for _, _, pts in fills:
        w("move %s %s" % (fmt(pts[0][0]), fmt(pts[0][1])))
        for x, y in pts[1:] + pts[:1]:
            w("draw %s %s" % (fmt(x), fmt(y)))
    w("")
    w("# A colour image")
    w("image sunset.png 480 40 800 240")
    w("")
    w("# A last line after the image, in pen 1")
    w("pen 1")
    w("move 480 30")
    w("draw 800 30")
    return "\n".join(out) + "\n"


def main():
    os.makedirs(EXAMPLES, exist_ok=True)
    write_png(os.path.join(EXAMPLES, "sunset.png"), 160, 100, sunset)
    with open(os.path.join(EXAMPLES, "demo.txt"), "w") as f:
        f.write(demo())


if __name__ == "__main__":
    main()
