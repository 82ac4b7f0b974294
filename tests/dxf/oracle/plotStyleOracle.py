#!/usr/bin/python3
"""Plot style tables written by ezdxf's plot style add-on (acadctb).

  plotStyleOracle.py BASE

writes one colour-dependent table twice: as ezdxf 0.18 saves it (BASE-ezdxf.ctb: on a
64-bit system its three counts after the signature are 64-bit) and with the
32-bit counts the CAD host writes (BASE-cad.ctb). It then reads the second back with
ezdxf's own reader and prints, for every colour number 1..255, what ezdxf
finds in it:

  ACI PHYSICAL_PEN LINEWEIGHT_MM RGB_OR_-1 SCREEN
"""
import io
import struct
import sys
import zlib

from ezdxf.addons import acadctb


def table():
    t = acadctb.new_ctb()
    t[1].physical_pen_number = 9
    t[1].set_lineweight(0.5)
    t[2].color = (0, 0, 255)
    t[3].screen = 50
    t[4].color = (200, 100, 0)
    t[4].screen = 30
    t[5].set_lineweight(0.35)
    t[6].physical_pen_number = 200
    t[6].color = (0, 255, 0)
    t[7].set_lineweight(2.11)
    t[8].screen = 0
    t[250].physical_pen_number = 1
    t[250].set_lineweight(0.13)
    return t


def main(base):
    ezdxf_name, cad_name = base + "-ezdxf.ctb", base + "-cad.ctb"
    t = table()
    t.save(ezdxf_name)
    text = io.StringIO()
    t.write_content(text)
    text.write(chr(0))
    body = text.getvalue()
    compressed = zlib.compress(body.encode())
    with open(cad_name, "wb") as f:
        f.write(b"PIAFILEVERSION_2.0,CTBVER1,compress\r\npmzlibcodec")
        f.write(struct.pack("<LLL", zlib.adler32(compressed), len(body), len(compressed)))
        f.write(compressed)
    back = acadctb.load(cad_name)
    for aci in range(1, 256):
        s = back[aci]
        rgb = s.color
        colour = -1 if rgb is None else (rgb[0] << 16) | (rgb[1] << 8) | rgb[2]
        print(aci, s.physical_pen_number, "%.4f" % s.get_lineweight(), colour, s.screen)


if __name__ == "__main__":
    main(sys.argv[1])
