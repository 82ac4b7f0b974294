#!/usr/bin/python3
"""The outline oracle of the font tests, independent of tavix: matplotlib's
font machinery (FreeType through its own FT2Font) lays out a string and
gives its outlines, as ezdxf's text2path add-on draws TrueType text; the
text height is the height of "X" above the baseline of "x", as there.

  textPathOracle.py FONT_FILE HEIGHT TEXT

prints "advance A" (the pen's travel over the string, kerning included),
"grid G" (how far its layout may place a glyph from the font's own
position: matplotlib rounds each pair's kerning to whole pixels at 100
pixels to the em, half a pixel per kerned pair before the glyph), then per closed contour a line "contour" and its points "x y", flattened
by ezdxf within HEIGHT / 20000.
"""
import sys

from ezdxf import path
from matplotlib import _text_helpers
from matplotlib.font_manager import FontProperties, get_font
from matplotlib.ft2font import LOAD_NO_HINTING, LOAD_NO_SCALE
from matplotlib.textpath import TextPath, TextToPath


def main():
    font_file, height, text = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    prop = FontProperties(fname=font_file)

    def path_of(s):
        return TextPath((0, 0), s, size=1, prop=prop, usetex=False)

    # The heights of "X" and "x" in font units, unrounded (TextPath's own
    # outlines are rounded to 1/64 pixel at 100 pixels to the em, which
    # would scale a long string by as much as 1/10000).
    font = get_font(font_file)
    em = font.units_per_EM

    def box_of(c):
        return font.load_char(ord(c), flags=LOAD_NO_SCALE | LOAD_NO_HINTING).bbox

    baseline = box_of("x")[1] / em
    cap = box_of("X")[3] / em - baseline
    scale = height / cap

    # The pen's travel in em (TextPath lays out at FONT_SCALE pixels per em).
    font.set_size(TextToPath.FONT_SCALE, TextToPath.DPI)
    end = 0.0
    kerned = 0
    for item in _text_helpers.layout(text, font):
        glyph = item.ft_object.load_glyph(item.glyph_idx, flags=LOAD_NO_HINTING)
        end = item.x + glyph.linearHoriAdvance / 65536
        kerned += item.prev_kern != 0
    print("advance %.9f" % (end / TextToPath.FONT_SCALE * scale))
    print("grid %.9f" % (kerned * 0.5 / TextToPath.FONT_SCALE * scale))

    outline = path.multi_path_from_matplotlib_path(path_of(text))
    for sub in outline.sub_paths():
        points = list(sub.flattening(height / 20000 / scale))
        if len(points) < 3:
            continue
        print("contour")
        for p in points:
            print("%.9f %.9f" % (p.x * scale, (p.y - baseline) * scale))


main()
