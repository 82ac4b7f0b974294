#!/usr/bin/python3
"""MLINEs written by ezdxf, with ezdxf's own drawing of each as the answer.

  mlineOracle.py FILE.dxf

Per multiline, from ezdxf's virtual entities:
  D index
  L colour x0 y0 x1 y1        a line
  F colour x y x y ...        a filled area's boundary
"""
import sys

import ezdxf


def main(filename):
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    style = doc.mline_styles.new("FILLED")
    style.elements.append(1.0, 1)
    style.elements.append(-0.5, 3)
    style.elements.append(-1.5, 5)
    style.dxf.flags = 1 | 2 | 16 | 256
    style.dxf.fill_color = 2
    plain = doc.mline_styles.new("PLAIN")
    plain.elements.append(0.5, 6)
    plain.elements.append(-0.5, 4)
    lines = [
        msp.add_mline([(0, 0), (10, 0), (10, 10)], dxfattribs={"style_name": "FILLED"}),
        msp.add_mline([(30, 0), (50, 5), (60, 20), (40, 30)], dxfattribs={"style_name": "PLAIN"}),
        msp.add_mline([(80, 0), (100, 0), (100, 20)], dxfattribs={"style_name": "FILLED"}, close=True),
    ]
    lines[0].dxf.scale_factor = 2
    lines[0].update_geometry()
    for i, m in enumerate(lines):
        print("D", i)
        for e in m.virtual_entities():
            if e.dxftype() == "LINE":
                print("L", e.dxf.color, e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y)
            elif e.dxftype() == "HATCH":
                for p in e.paths:
                    print("F", e.dxf.color, " ".join(f"{v[0]!r} {v[1]!r}" for v in p.vertices))
    doc.saveas(filename)


if __name__ == "__main__":
    main(sys.argv[1])
