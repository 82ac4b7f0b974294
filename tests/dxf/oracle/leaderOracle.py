#!/usr/bin/python3
"""LEADERs written by ezdxf, with ezdxf's own drawing of each as the answer.

  leaderOracle.py FILE.dxf

Per leader, from ezdxf's virtual entities:
  D index
  L x0 y0 x1 y1                  a line of its path
  A tipx tipy basex basey half   an arrowhead: its tip, the middle of its back, half its width
"""
import math
import sys

import ezdxf


def main(filename):
    doc = ezdxf.new("R2010")
    doc.dimstyles.new("TEST", dxfattribs=dict(dimasz=2.5, dimscale=2))
    msp = doc.modelspace()
    leaders = [
        msp.add_leader([(10, 10), (30, 30), (60, 30)], dimstyle="TEST"),
        msp.add_leader([(100, 50), (80, 20)], dimstyle="TEST", override={"dimasz": 4}),
        msp.add_leader([(150, 10), (150, 40), (180, 40)], dimstyle="TEST"),
    ]
    leaders[2].dxf.has_arrowhead = 0
    for i, leader in enumerate(leaders):
        print("D", i)
        for e in leader.virtual_entities():
            if e.dxftype() == "LINE":
                print("L", e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y)
            elif e.dxftype() == "SOLID":
                v = [e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2]
                base = (v[0] + v[2]) * 0.5
                print("A", v[1].x, v[1].y, base.x, base.y, math.dist(v[0], v[2]) / 2)
    doc.saveas(filename)


if __name__ == "__main__":
    main(sys.argv[1])
