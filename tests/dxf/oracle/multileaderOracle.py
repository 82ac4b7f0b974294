#!/usr/bin/python3
"""MULTILEADERs written by ezdxf, with ezdxf's own drawing of each as the answer.

  multileaderOracle.py FILE.dxf

Per multileader, from ezdxf's virtual entities:
  D index
  L x0 y0 x1 y1          a line
  A x y                  an arrowhead's tip
  T x y height attachment text
"""
import sys

import ezdxf
from ezdxf.math import Vec2
from ezdxf.render import mleader


def main(filename):
    doc = ezdxf.new("R2018", setup=True)
    msp = doc.modelspace()
    one = msp.add_multileader_mtext("Standard")
    one.set_content("Hello", char_height=2.5)
    one.add_leader_line(mleader.ConnectionSide.left, [Vec2(-20, -10)])
    one.add_leader_line(mleader.ConnectionSide.right, [Vec2(40, -15), Vec2(30, -30)])
    one.build(insert=Vec2(10, 5))
    two = msp.add_multileader_mtext("Standard")
    two.set_content("Two", char_height=5)
    two.add_leader_line(mleader.ConnectionSide.left, [Vec2(100, 100)])
    two.build(insert=Vec2(150, 120))
    for i, ml in enumerate([one.multileader, two.multileader]):
        print("D", i)
        for e in ml.virtual_entities():
            kind = e.dxftype()
            if kind == "LINE":
                print("L", e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y)
            elif kind == "INSERT":
                print("A", e.dxf.insert.x, e.dxf.insert.y)
            elif kind == "MTEXT":
                p = e.dxf.insert
                print("T", p.x, p.y, e.dxf.char_height, e.dxf.attachment_point, e.text)
    doc.saveas(filename)


if __name__ == "__main__":
    main(sys.argv[1])
