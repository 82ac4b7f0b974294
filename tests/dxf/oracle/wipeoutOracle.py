#!/usr/bin/python3
"""WIPEOUTs written by ezdxf, with ezdxf's placing of their boundaries.

  wipeoutOracle.py FILE.dxf

  FRAME n              the drawing's frame setting
  W x y x y ...        a wipeout's boundary in drawing coordinates
"""
import sys

import ezdxf


def main(filename):
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    wipeouts = [
        msp.add_wipeout([(10, 10), (40, 10), (40, 30), (10, 30)]),
        msp.add_wipeout([(50, 0), (80, 5), (70, 40), (55, 20)]),
        msp.add_wipeout([(-20, -20), (-5, -30), (0, 0)]),
    ]
    doc.set_wipeout_variables(frame=0)
    print("FRAME", 0)
    for w in wipeouts:
        print("W", " ".join(f"{p.x!r} {p.y!r}" for p in w.boundary_path_wcs()))
    doc.saveas(filename)


if __name__ == "__main__":
    main(sys.argv[1])
