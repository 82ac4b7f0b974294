#!/usr/bin/env python3
"""Writes examples/plot-pages.pdf: two Letter pages (8.5 x 11 in) of flat
colour areas, a gray ramp and lines, the PDF that the CUPS tests print.
Written by hand (no fonts, no images), so it is small and reproducible: run
it again and the file comes out byte for byte the same.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "examples", "plot-pages.pdf")
WIDTH, HEIGHT = 612, 792  # points


def page_one():
    ops = []
    # Eight flat colours in a row of bars: the dither's primaries and mixes.
    colours = [(1, 0, 0), (0, 1, 0), (0, 0, 1), (1, 1, 0), (0, 1, 1), (1, 0, 1), (0, 0, 0), (0.5, 0.5, 0.5)]
    for i, (r, g, b) in enumerate(colours):
        ops.append(f"{r} {g} {b} rg {54 + i * 63} 560 54 180 re f")
    # A gray ramp of 16 steps.
    for i in range(16):
        v = round(i / 15, 4)
        ops.append(f"{v} g {54 + i * 31.5} 400 31.5 120 re f")
    # Lines of four widths.
    for i, w in enumerate((0.5, 1, 2, 4)):
        ops.append(f"0 0 0.6 RG {w} w 54 {340 - i * 20} m 558 {300 - i * 20} l S")
    # A frame just inside the plot margins.
    ops.append("0 g 2 w 20 20 572 752 re S")
    return "\n".join(ops)


def circle(cx, cy, r):
    k = 0.5523 * r
    return (f"{cx + r} {cy} m {cx + r} {cy + k} {cx + k} {cy + r} {cx} {cy + r} c "
            f"{cx - k} {cy + r} {cx - r} {cy + k} {cx - r} {cy} c "
            f"{cx - r} {cy - k} {cx - k} {cy - r} {cx} {cy - r} c "
            f"{cx + k} {cy - r} {cx + r} {cy - k} {cx + r} {cy} c")


def page_two():
    ops = ["0.9 0.95 1 rg 40 40 532 712 re f"]
    for i in range(6):
        r, g, b = (round(0.5 + 0.5 * math.cos(i + k), 3) for k in (0, 2.1, 4.2))
        ops.append(f"{r} {g} {b} rg {circle(150 + (i % 3) * 156, 560 - (i // 3) * 200, 70)} f")
    ops.append("0 g 3 w 306 80 m 306 240 l S 120 160 m 492 160 l S")
    return "\n".join(ops)


def pdf(pages):
    objects = ["<< /Type /Catalog /Pages 2 0 R >>", None]
    kids = []
    for content in pages:
        data = content.encode("ascii")
        objects.append(f"<< /Length {len(data)} >>\nstream\n{content}\nendstream")
        objects.append(f"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 {WIDTH} {HEIGHT}] "
                       f"/Contents {len(objects)} 0 R /Resources << >> >>")
        kids.append(f"{len(objects)} 0 R")
    objects[1] = f"<< /Type /Pages /Kids [{' '.join(kids)}] /Count {len(kids)} >>"
    out = b"%PDF-1.4\n"
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += f"{number} 0 obj\n{body}\nendobj\n".encode("ascii")
    xref = len(out)
    out += f"xref\n0 {len(objects) + 1}\n0000000000 65535 f \n".encode("ascii")
    for offset in offsets:
        out += f"{offset:010d} 00000 n \n".encode("ascii")
    out += f"trailer\n<< /Size {len(objects) + 1} /Root 1 0 R >>\nstartxref\n{xref}\n%%EOF\n".encode("ascii")
    return out


if __name__ == "__main__":
    with open(OUT, "wb") as f:
        f.write(pdf([page_one(), page_two()]))
