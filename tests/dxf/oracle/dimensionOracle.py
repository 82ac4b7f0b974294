#!/usr/bin/python3
"""Dimensions without their blocks, with ezdxf's rebuilt blocks as the answer.

  dimensionOracle.py FILE.dxf

ezdxf draws each dimension's block (its own dimension renderer, which
follows the CAD host's), prints what it drew, then leaves the blocks out of
FILE.dxf as QCAD, LibreCAD and dxflib save dimensions. Per dimension:
  D index
  L x0 y0 x1 y1        a line of the block
  A x y                the tip of an arrowhead
  T x y degrees text   the text's middle, its direction and its content
"""
import sys

import ezdxf

STYLE = dict(dimasz=2.5, dimexo=0.625, dimexe=1.25, dimtxt=2.5, dimgap=0.625, dimtad=1, dimdec=2,
             dimzin=8, dimdsep=ord(","), dimtsz=0, dimblk="")


def make(doc, msp):
    doc.dimstyles.new("TEST", dxfattribs=STYLE)
    dims = [
        msp.add_linear_dim(base=(20, 40), p1=(20, 20), p2=(120, 20), dimstyle="TEST"),
        msp.add_linear_dim(base=(150, 30), p1=(130, 10), p2=(140, 60), angle=90, dimstyle="TEST"),
        msp.add_linear_dim(base=(20, 80), p1=(30, 60), p2=(110, 100), angle=30, dimstyle="TEST"),
        msp.add_aligned_dim(p1=(150, 100), p2=(200, 140), distance=10, dimstyle="TEST"),
        msp.add_linear_dim(base=(20, 150), p1=(20, 130), p2=(62.5, 130), dimstyle="TEST",
                           override={"dimtad": 0, "dimdec": 3, "dimzin": 0, "dimdsep": ord(".")}),
        msp.add_linear_dim(base=(100, 180), p1=(100, 160), p2=(150.25, 170), angle=-60, dimstyle="TEST"),
        msp.add_linear_dim(base=(220, 40), p1=(220, 20), p2=(223, 20), dimstyle="TEST"),
    ]
    for d in dims:
        d.render()
    return [d.dimension for d in dims]


def report(doc, dims):
    for i, dim in enumerate(dims):
        print("D", i)
        for e in dim.get_geometry_block():
            kind = e.dxftype()
            if kind == "LINE":
                s, t = e.dxf.start, e.dxf.end
                print("L", s.x, s.y, t.x, t.y)
            elif kind == "INSERT":
                print("A", e.dxf.insert.x, e.dxf.insert.y)
            elif kind == "MTEXT":
                p = e.dxf.insert
                print("T", p.x, p.y, e.dxf.rotation, e.plain_text())


def strip_blocks(doc, dims):
    for dim in dims:
        name = dim.dxf.geometry
        dim.dxf.discard("geometry")
        doc.blocks.delete_block(name, safe=False)


def main(filename):
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    dims = make(doc, msp)
    report(doc, dims)
    strip_blocks(doc, dims)
    doc.saveas(filename)


if __name__ == "__main__":
    main(sys.argv[1])
