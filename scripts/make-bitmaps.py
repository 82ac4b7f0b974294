#!/usr/bin/env python3
"""Draws the dialog pictures of TAVIXDRV.dll and writes them as BMP files.

    make-bitmaps.py [--check] [output folder]

The pictures are the project's own art, drawn here pixel by pixel so that
running the script again gives the same bytes:

  badge.bmp                     101  59 x 28, 16 colours: the maker's badge "TAVIX"
  model-<name>.bmp              123..127  85 x 80, 256 colours: a wide-format
                                printer on its stand with the model name
  model-<name>-selected.bmp     128..132  the same inside a red frame

The default folder is resources/bitmaps beside this script's folder. With
--check nothing is written: the script compares what it would write with
the files there and exits with 1 if any differs.
"""
import os
import struct
import sys

# 5 x 7 glyphs, one string per row, '#' is ink.
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."],
    "-": [".....", ".....", ".....", "#####", ".....", ".....", "....."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}

# The 16 colours of the badge (the standard VGA order).
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# The model pictures use the first entries of a 256-colour palette; the
# rest is a gray ramp so that every entry is defined.
PALETTE256 = [
    (255, 255, 255),  # 0 background
    (0, 0, 0),        # 1 outline, text
    (200, 204, 210),  # 2 printer body
    (150, 156, 166),  # 3 shadow side
    (90, 96, 110),    # 4 stand
    (250, 250, 244),  # 5 paper
    (40, 110, 200),   # 6 panel display
    (230, 40, 30),    # 7 red frame
    (70, 170, 80),    # 8 power lamp
    (120, 80, 40),    # 9 roll core
]
PALETTE256 += [(v, v, v) for v in range(256 - len(PALETTE256))]


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fills the rectangle with corners (x0, y0) and (x1, y1) inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c, thickness=1):
        for t in range(thickness):
            self.rect(x0 + t, y0 + t, x1 - t, y0 + t, c)
            self.rect(x0 + t, y1 - t, x1 - t, y1 - t, c)
            self.rect(x0 + t, y0 + t, x0 + t, y1 - t, c)
            self.rect(x1 - t, y0 + t, x1 - t, y1 - t, c)

    def text(self, x, y, s, c, sx=1, sy=1, gap=1):
        for ch in s:
            glyph = GLYPHS[ch]
            for gy, row in enumerate(glyph):
                for gx, cell in enumerate(row):
                    if cell == "#":
                        self.rect(x + gx * sx, y + gy * sy,
                                  x + gx * sx + sx - 1, y + gy * sy + sy - 1, c)
            x += 5 * sx + gap

    @staticmethod
    def text_width(s, sx=1, gap=1):
        return len(s) * (5 * sx + gap) - gap


def bmp_bytes(canvas, bits, palette):
    """A bottom-up BMP with a BITMAPINFOHEADER and a full palette."""
    colours = 1 << bits
    stride = ((canvas.width * bits + 31) // 32) * 4
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        line = canvas.pixels[y]
        if bits == 8:
            data = bytes(line)
        else:
            data = bytearray()
            for x in range(0, canvas.width, 2):
                hi = line[x]
                lo = line[x + 1] if x + 1 < canvas.width else 0
                data.append((hi << 4) | lo)
            data = bytes(data)
        rows.append(data + b"\0" * (stride - len(data)))
    pixels = b"".join(rows)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette[:colours])
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, bits, 0,
                       len(pixels), 2835, 2835, colours, 0)
    return header + info + pal + pixels


def badge():
    """Picture 101: a navy badge with a white rim and "TAVIX" in white."""
    c = Canvas(59, 28, 7)
    c.rect(1, 1, 57, 26, 4)
    c.frame(1, 1, 57, 26, 15)
    # round the corners
    for (x, y) in [(1, 1), (57, 1), (1, 26), (57, 26)]:
        c.put(x, y, 7)
    c.rect(3, 21, 55, 22, 9)  # a red stripe under the name
    word = "TAVIX"
    w = Canvas.text_width(word, 2, 1)
    c.text((59 - w) // 2, 5, word, 15, 2, 2, 1)
    return c


def printer(label, selected):
    """Pictures 123..132: a wide-format printer on its stand."""
    c = Canvas(85, 80, 0)
    # paper roll behind the body
    c.rect(14, 10, 70, 15, 5)
    c.frame(14, 10, 70, 15, 1)
    c.rect(10, 11, 13, 14, 9)
    c.rect(71, 11, 74, 14, 9)
    # body
    c.rect(6, 16, 78, 38, 2)
    c.rect(6, 33, 78, 38, 3)
    c.frame(6, 16, 78, 38, 1)
    # control panel with its display and lamp
    c.rect(58, 19, 74, 26, 6)
    c.frame(58, 19, 74, 26, 1)
    c.rect(66, 29, 68, 31, 8)
    c.rect(71, 29, 73, 31, 8)
    # output slot and the sheet coming out of it
    c.rect(10, 38, 54, 39, 1)
    c.rect(12, 40, 52, 48, 5)
    c.frame(12, 40, 52, 48, 3)
    for y in (42, 44, 46):
        c.rect(16, y, 44, y, 3)
    # stand: two legs and a foot bar
    c.rect(12, 40, 14, 58, 4)
    c.rect(70, 39, 72, 58, 4)
    c.rect(8, 58, 76, 60, 4)
    c.rect(8, 61, 11, 62, 1)
    c.rect(73, 61, 76, 62, 1)
    # the model name
    w = Canvas.text_width(label)
    c.text((85 - w) // 2, 67, label, 1)
    if selected:
        c.frame(0, 0, 84, 79, 7, 3)
    return c


MODELS = [("tx90", "TX-90"), ("tx70", "TX-70"), ("tx30", "TX-30"),
          ("lumenq1", "LUMEN Q1"), ("txseries", "TX SERIES")]


def pictures():
    out = {"badge.bmp": bmp_bytes(badge(), 4, VGA16)}
    for key, label in MODELS:
        out["model-%s.bmp" % key] = bmp_bytes(printer(label, False), 8, PALETTE256)
        out["model-%s-selected.bmp" % key] = bmp_bytes(printer(label, True), 8, PALETTE256)
    return out


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    here = os.path.dirname(os.path.abspath(__file__))
    folder = args[0] if args else os.path.join(here, "..", "resources", "bitmaps")
    differ = []
    for name, data in sorted(pictures().items()):
        path = os.path.join(folder, name)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                differ.append(name)
        else:
            os.makedirs(folder, exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    if differ:
        print("differs from the generator: " + ", ".join(differ))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
