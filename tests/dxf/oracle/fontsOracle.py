#!/usr/bin/python3
"""Drawings of the text-font tests, written by ezdxf:

  fontsOracle.py KIND FILE.dxf

coverage     every character of Latin-1, Latin Extended-A, Greek and
             Cyrillic, and a line of Japanese, in a shape-font style
             (txt) and in TrueType styles (arial.ttf, times.ttf by family)
codepage932  an AutoCAD 2000 drawing in code page ANSI_932 (Shift JIS)
             with Japanese TEXT and MTEXT
missingFont  a style naming a TrueType font no machine has
smallText    TrueType text 1 high on a drawing plotted about 1:1: lower than
             a pen can fill, drawn as outlines
attributes   an ATTRIB of a block reference and an ATTDEF of model space in
             a TrueType style
mtextFonts   MTEXT switching fonts with \\f (bold, italic), width \\W,
             slant \\Q and tracking \\T, in a style with a width factor
"""
import sys

import ezdxf

JAPANESE = "東京都千代田区の平面図、縮尺１：１００。カタカナ・ひらがな"


def characters(first, last):
    return "".join(chr(c) for c in range(first, last + 1) if c != 0x3A2)


RANGES = [characters(0xA1, 0xFF), characters(0x100, 0x17F), characters(0x391, 0x3A9),
          characters(0x3B1, 0x3C9), characters(0x400, 0x45F), JAPANESE]


def frame(msp):
    msp.add_lwpolyline([(0, 0), (400, 0), (400, 300), (0, 300)], close=True)


def coverage(path):
    doc = ezdxf.new("R2010")
    doc.styles.new("Sans", dxfattribs={"font": "arial.ttf"})
    serif = doc.styles.new("Serif", dxfattribs={"font": ""})
    serif.set_extended_font_data("Times New Roman", italic=False, bold=True)
    msp = doc.modelspace()
    frame(msp)
    y = 290
    for style in ("Standard", "Sans", "Serif"):
        for line in RANGES:
            # Lines of 40 characters at most, so that each fits the frame.
            for start in range(0, len(line), 40):
                y -= 4.5
                msp.add_text(line[start:start + 40], dxfattribs={"style": style, "height": 3, "insert": (5, y)})
    doc.saveas(path)


def codepage932(path):
    doc = ezdxf.new("R2000")
    doc.encoding = "cp932"  # written as $DWGCODEPAGE ANSI_932
    msp = doc.modelspace()
    frame(msp)
    msp.add_text(JAPANESE, dxfattribs={"height": 8, "insert": (10, 250)})
    msp.add_mtext("平面図\\P縮尺１：５０", dxfattribs={"char_height": 6, "insert": (10, 200)})
    doc.saveas(path)


def missing_font(path):
    doc = ezdxf.new("R2010")
    doc.styles.new("Ghost", dxfattribs={"font": "NoSuchDrawingFont.ttf"})
    msp = doc.modelspace()
    frame(msp)
    msp.add_text("Grundriss Erdgeschoß", dxfattribs={"style": "Ghost", "height": 10, "insert": (10, 150)})
    doc.saveas(path)


def small_text(path):
    doc = ezdxf.new("R2010")
    doc.styles.new("Sans", dxfattribs={"font": "arial.ttf"})
    msp = doc.modelspace()
    frame(msp)
    msp.add_text("Schnitt A-A", dxfattribs={"style": "Sans", "height": 1, "insert": (10, 150)})
    doc.saveas(path)


def attributes(path):
    doc = ezdxf.new("R2010")
    doc.styles.new("Sans", dxfattribs={"font": "arial.ttf"})
    tag = doc.blocks.new("TAG")
    tag.add_attdef("NAME", (0, 0), dxfattribs={"style": "Sans", "height": 5})
    msp = doc.modelspace()
    frame(msp)
    msp.add_blockref("TAG", (10, 10)).add_auto_attribs({"NAME": "Größe"})
    msp.add_attdef("FREE", (10, 30), dxfattribs={"style": "Sans", "height": 5})
    doc.saveas(path)


def mtext_fonts(path):
    doc = ezdxf.new("R2010")
    doc.styles.new("Narrow", dxfattribs={"font": "arial.ttf", "width": 0.8})
    msp = doc.modelspace()
    frame(msp)
    msp.add_mtext("Plan {\\fArial|b1|i0;fett} {\\fTimes New Roman|b0|i1;kursiv} {\\W2;breit} {\\Q20;schräg}"
                  " {\\T2;weit}", dxfattribs={"style": "Narrow", "char_height": 8, "insert": (10, 200)})
    doc.saveas(path)


KINDS = {"coverage": coverage, "codepage932": codepage932, "missingFont": missing_font, "smallText": small_text,
         "attributes": attributes,
         "mtextFonts": mtext_fonts}

if __name__ == "__main__":
    KINDS[sys.argv[1]](sys.argv[2])
