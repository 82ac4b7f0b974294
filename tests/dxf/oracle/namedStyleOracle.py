#!/usr/bin/python3
"""A drawing with named plot styles and its named table (.stb), both
written by ezdxf.

  namedStyleOracle.py BASE

writes BASE.dxf ($PSTYLEMODE 0; styles "Thick" and "Red" as placeholders
of ACAD_PLOTSTYLENAME; layer THICK takes "Thick"; a line in colour 1 on it
(its style by layer), a line in colour 2 naming "Red" itself, a line in
colour 3 on layer 0 (Normal), a line in colour 4 naming "Missing", which
the table lacks) and BASE.stb (ezdxf's acadctb: Thick with physical pen 20
and lineweight 0.70 mm, Red with colour (255, 0, 0)). It prints the pens
ezdxf reads back in the table for each colour, as a pen file:

  COLOUR PEN [WIDTH]
"""
import sys

import ezdxf
from ezdxf.addons import acadctb


def main(base):
    doc = ezdxf.new("R2010")
    doc.header["$PSTYLEMODE"] = 0
    styles = doc.rootdict["ACAD_PLOTSTYLENAME"]
    handles = {}
    for name in ("Thick", "Red", "Missing"):
        holder = doc.objects.add_placeholder(owner=styles.dxf.handle)
        styles[name] = holder
        handles[name] = holder.dxf.handle
    doc.layers.add("THICK").dxf.plotstyle_handle = handles["Thick"]
    msp = doc.modelspace()
    msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "THICK", "color": 1})
    msp.add_line((0, 10), (100, 10), dxfattribs={"color": 2, "plotstyle_handle": handles["Red"]})
    msp.add_line((0, 20), (100, 20), dxfattribs={"color": 3})
    msp.add_line((0, 30), (100, 30), dxfattribs={"color": 4, "plotstyle_handle": handles["Missing"]})
    doc.saveas(base + ".dxf")

    table = acadctb.new_stb()
    thick = table.new_style("Thick")
    thick.physical_pen_number = 20
    thick.set_lineweight(0.7)
    red = table.new_style("Red")
    red.color = (255, 0, 0)
    table.save(base + ".stb")

    # Colour 2 in "Red": the palette's pen of (255, 0, 0) is pen 1.
    print("1", thick.physical_pen_number, "%.2f" % thick.get_lineweight())
    print("2", 1)


if __name__ == "__main__":
    main(sys.argv[1])
