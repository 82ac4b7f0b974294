#!/usr/bin/python3
"""The DXF oracle of the plot tests, independent of tavix: ezdxf (a DXF
library of its own) writes the test drawings and flattens them into the
segments a plot must show.

  ezdxfOracle.py make GROUP FILE.dxf     writes the drawing of an entity group
  ezdxfOracle.py expect FILE.dxf TOL     prints "pen x0 y0 x1 y1" per segment,
                                         in drawing units, chords within TOL/20

Layers that are off, frozen or not plotted are left out; blocks and
dimensions are expanded here, each level's matrix from ezdxf applied to the
geometry (ezdxf's own explosion keeps a block in a stretched and turned
block as a block reference, which cannot be skewed, and misplaces it); linetypes are dashed by ezdxf's renderer;
pattern hatches are ezdxf's hatch lines. Every drawing has a frame from
(0, 0) to (280, 190) so its extents are known without tavix.
"""
import math
import sys

import ezdxf
from ezdxf import colors, disassemble, path
from ezdxf.render import hatching
from ezdxf.render.linetypes import LineTypeRenderer

FRAME = [(0, 0), (280, 0), (280, 190), (0, 190)]


def new_drawing():
    doc = ezdxf.new("R2010", setup=True)
    doc.header["$INSUNITS"] = 4  # millimetres
    msp = doc.modelspace()
    msp.add_lwpolyline(FRAME, close=True, dxfattribs={"color": 8})
    return doc, msp


def make_lines(doc, msp):
    msp.add_line((10, 10), (100, 40), dxfattribs={"color": 1})
    msp.add_line((10, 50), (10, 50.5), dxfattribs={"color": 2})
    msp.add_point((50, 100), dxfattribs={"color": 3})
    msp.add_lwpolyline([(120, 30, 0, 0, 0.5), (180, 30, 0, 0, -1), (180, 80, 0, 0, 0), (130, 90)],
                       format="xyseb", close=True, dxfattribs={"color": 4})
    p = msp.add_polyline2d([(200, 20), (250, 20), (250, 80)], dxfattribs={"color": 5})
    p.vertices[0].dxf.bulge = 0.3
    msp.add_lwpolyline([(20, 120), (60, 160), (100, 120)], dxfattribs={"color": 6})


def make_curves(doc, msp):
    msp.add_circle((40, 40), 30, dxfattribs={"color": 1})
    msp.add_circle((40, 40), 0.5, dxfattribs={"color": 2})
    msp.add_arc((120, 40), 25, 30, 300, dxfattribs={"color": 3})
    msp.add_arc((120, 40), 10, 300, 30, dxfattribs={"color": 3})
    msp.add_ellipse((200, 50), major_axis=(50, 20), ratio=0.4, dxfattribs={"color": 4})
    msp.add_ellipse((200, 130), major_axis=(0, 30), ratio=0.5, start_param=0.5, end_param=4.0,
                    dxfattribs={"color": 5})
    msp.add_spline([(20, 100), (50, 170), (90, 90), (130, 160)], dxfattribs={"color": 6})
    s = msp.add_open_spline([(140, 100), (160, 180), (190, 90), (230, 170), (260, 110)], degree=3)
    s.dxf.color = 140
    msp.add_rational_spline([(20, 180), (60, 120), (100, 185)], weights=[1, 3, 1], degree=2,
                            dxfattribs={"color": 30})


def make_fills(doc, msp):
    msp.add_solid([(10, 10), (60, 10), (10, 60), (60, 60)], dxfattribs={"color": 1})
    msp.add_trace([(80, 10), (130, 10), (80, 40), (130, 40)], dxfattribs={"color": 2})
    msp.add_3dface([(150, 10), (200, 20), (190, 60), (150, 50)], dxfattribs={"color": 3})
    h = msp.add_hatch(color=4)
    h.paths.add_polyline_path([(10, 100), (70, 100, 0.4), (70, 160), (10, 160)], is_closed=True)
    h = msp.add_hatch(color=5)
    e = h.paths.add_edge_path()
    e.add_line((100, 100), (150, 100))
    e.add_arc((150, 130), 30, -90, 90)
    e.add_line((150, 160), (100, 160))
    e.add_ellipse((100, 130), major_axis=(0, 30), ratio=0.5, start_angle=0, end_angle=180)
    h = msp.add_hatch(color=6)
    h.set_pattern_fill("ANSI31", scale=2.0, color=6)
    h.paths.add_polyline_path([(200, 100), (270, 100), (270, 170), (200, 170)], is_closed=True)
    h.paths.add_polyline_path([(220, 120), (250, 120), (250, 150), (220, 150)], is_closed=True)


def make_blocks(doc, msp):
    leaf = doc.blocks.new("LEAF", base_point=(5, 5))
    leaf.add_circle((5, 5), 4, dxfattribs={"color": 1})
    leaf.add_line((0, 0), (10, 3), dxfattribs={"color": 2})
    tree = doc.blocks.new("TREE")
    tree.add_line((0, 0), (0, 20), dxfattribs={"color": 3})
    tree.add_blockref("LEAF", (0, 20), dxfattribs={"xscale": 0.5, "yscale": 0.5, "rotation": 30})
    tree.add_blockref("LEAF", (4, 12), dxfattribs={"rotation": -45})
    msp.add_blockref("TREE", (20, 20))
    msp.add_blockref("TREE", (80, 20), dxfattribs={"xscale": -1.5, "yscale": 1.5, "rotation": 15})
    msp.add_blockref("TREE", (120, 60), dxfattribs={"xscale": 1, "yscale": -1})
    grid = msp.add_blockref("LEAF", (150, 100))
    grid.grid(size=(3, 4), spacing=(20, 15))
    grid.dxf.rotation = 10


def make_nested(doc, msp):
    # Three levels of blocks, each placed with unequal scales, mirrored and
    # turned, some in a plane seen from below (extrusion 0, 0, -1): circles
    # and arcs become ellipses, bulges turn the other way.
    inner = doc.blocks.new("INNER", base_point=(2, 1))
    inner.add_circle((5, 5), 4, dxfattribs={"color": 1})
    inner.add_arc((12, 4), 3, 20, 200, dxfattribs={"color": 2})
    inner.add_ellipse((4, 12), major_axis=(4, 1), ratio=0.5, start_param=0.3, end_param=4.5,
                      dxfattribs={"color": 3})
    inner.add_lwpolyline([(0, 0, 0.5), (8, 0, -0.7), (8, 6, 0)], format="xyb", dxfattribs={"color": 4})
    inner.add_line((0, 0), (10, 3), dxfattribs={"color": 5})
    inner.add_arc((3, 3), 2, 0, 120, dxfattribs={"color": 6, "extrusion": (0, 0, -1)})
    inner.add_solid([(14, 8), (17, 8), (14, 10)], dxfattribs={"color": 9})
    inner.add_spline([(0, 8), (3, 10), (5, 7), (9, 9)], dxfattribs={"color": 10})
    h = inner.add_hatch(color=11)
    h.paths.add_polyline_path([(10, 10), (13, 10, 0.5), (13, 13), (10, 13)], is_closed=True)
    inner.add_lwpolyline([(0, -2), (6, -2, 0.4), (6, -5)], format="xyb",
                         dxfattribs={"color": 12, "extrusion": (0, 0, -1)})
    middle = doc.blocks.new("MIDDLE", base_point=(-3, 2))
    middle.add_line((0, 0), (0, 20), dxfattribs={"color": 7})
    middle.add_blockref("INNER", (0, 20), dxfattribs={"xscale": 1.5, "yscale": -0.5, "rotation": 30})
    middle.add_blockref("INNER", (10, 5), dxfattribs={"xscale": -0.8, "yscale": 1.2, "rotation": -70})
    middle.add_blockref("INNER", (20, 10), dxfattribs={"xscale": 0.7, "yscale": 0.7, "rotation": 45,
                                                        "extrusion": (0, 0, -1)})
    grid = middle.add_blockref("INNER", (-20, -10), dxfattribs={"xscale": 0.3, "yscale": 0.5, "rotation": 20})
    grid.grid(size=(2, 3), spacing=(6, 8))
    outer = doc.blocks.new("OUTER", base_point=(5, 0))
    outer.add_circle((0, 0), 3, dxfattribs={"color": 8})
    outer.add_blockref("MIDDLE", (0, 0), dxfattribs={"xscale": 2, "yscale": 0.6, "rotation": 15})
    outer.add_blockref("MIDDLE", (30, 10), dxfattribs={"xscale": -0.5, "yscale": -1.5, "rotation": 100,
                                                        "extrusion": (0, 0, -1)})
    msp.add_blockref("OUTER", (95, 45), dxfattribs={"xscale": 1.2, "yscale": 0.8, "rotation": -20})
    msp.add_blockref("OUTER", (200, 100), dxfattribs={"xscale": -1, "yscale": 1.3, "rotation": 60})
    msp.add_blockref("OUTER", (-200, 40), dxfattribs={"xscale": 0.9, "yscale": 0.9, "rotation": 10,
                                                      "extrusion": (0, 0, -1)})


def make_fitsplines(doc, msp):
    # Splines given by fit points only, with and without end tangents: the
    # curve the CAD host draws through them (ezdxf's CAD-compatible one).
    msp.add_spline([(20, 20), (60, 90), (100, 30), (150, 100), (200, 40), (260, 80)], dxfattribs={"color": 1})
    s = msp.add_spline([(20, 110), (50, 170), (90, 120), (140, 180)], dxfattribs={"color": 2})
    s.dxf.start_tangent = (1, -1, 0)
    s.dxf.end_tangent = (1, 0, 0)
    s = msp.add_spline([(160, 120), (190, 175), (230, 130), (250, 180), (270, 110)], dxfattribs={"color": 3})
    s.dxf.start_tangent = (0, 1, 0)
    s.dxf.end_tangent = (0, -1, 0)
    msp.add_spline([(30, 60), (45, 62), (50, 75), (35, 90)], dxfattribs={"color": 4})


def make_dimensions(doc, msp):
    msp.add_line((20, 20), (120, 20), dxfattribs={"color": 1})
    d = msp.add_linear_dim(base=(20, 40), p1=(20, 20), p2=(120, 20), text=" ", dxfattribs={"color": 2})
    d.render()
    msp.add_circle((200, 100), 40, dxfattribs={"color": 3})
    d = msp.add_radius_dim(center=(200, 100), radius=40, angle=45, text=" ", dxfattribs={"color": 4})
    d.render()


def make_layers(doc, msp):
    doc.layers.add("SHOWN", color=1)
    doc.layers.add("OFF", color=2).off()
    doc.layers.add("FROZEN", color=3).freeze()
    doc.layers.add("NOPLOT", color=4).dxf.plot = 0
    doc.layers.add("BLUE", color=5, linetype="DASHED")
    for i, layer in enumerate(["SHOWN", "OFF", "FROZEN", "NOPLOT", "BLUE"]):
        msp.add_line((10, 10 + 30 * i), (200, 10 + 30 * i), dxfattribs={"layer": layer})
        # Dashes along curves follow the chords, whose length differs from the
        # arc's by up to a few tenths of a percent: circles stay continuous here.
        msp.add_circle((240, 20 + 30 * i), 10, dxfattribs={"layer": layer, "color": 7, "linetype": "CONTINUOUS"})
    msp.add_lwpolyline([(10, 170), (60, 180), (110, 170), (160, 180)],
                       dxfattribs={"layer": "SHOWN", "linetype": "DASHDOT", "ltscale": 0.5})
    msp.add_line((10, 185), (270, 185), dxfattribs={"color": 9, "linetype": "DOT"})
    msp.add_line((10, 165), (270, 165), dxfattribs={"color": 10, "true_color": 0x00FF00})


def make_pens(doc, msp):
    for i, colour in enumerate([1, 2, 3, 5, 40, 250]):
        msp.add_line((10 + 40 * i, 10), (40 + 40 * i, 150), dxfattribs={"color": colour})


GROUPS = {
    "lines": make_lines, "curves": make_curves, "fills": make_fills, "blocks": make_blocks,
    "dimensions": make_dimensions, "nested": make_nested, "fitsplines": make_fitsplines, "layers": make_layers, "pens": make_pens,
}


def make(group, filename):
    doc, msp = new_drawing()
    GROUPS[group](doc, msp)
    doc.saveas(filename)


# ---- Expected segments --------------------------------------------------

def layer_plots(doc, name):
    layer = doc.layers.get(name)
    if layer is None:
        return True
    return layer.is_on() and not layer.is_frozen() and layer.dxf.get("plot", 1) != 0


def nearest_aci(rgb):
    """The colour number nearest to a true colour, by ezdxf's own palette."""
    r, g, b = (rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255
    best, best_distance = 7, None
    for aci in range(1, 256):
        v = colors.DXF_DEFAULT_COLORS[aci]
        d = (r - ((v >> 16) & 255)) ** 2 + (g - ((v >> 8) & 255)) ** 2 + (b - (v & 255)) ** 2
        if best_distance is None or d < best_distance:
            best, best_distance = aci, d
    return best


def linetype_pattern(doc, e):
    name = e.dxf.get("linetype", "BYLAYER")
    if name.upper() == "BYLAYER":
        layer = doc.layers.get(e.dxf.get("layer", "0"))
        name = layer.dxf.get("linetype", "CONTINUOUS") if layer is not None else "CONTINUOUS"
    if name.upper() in ("CONTINUOUS", "BYBLOCK"):
        return None
    lt = doc.linetypes.get(name)
    if lt is None:
        return None
    tags = lt.pattern_tags
    if not tags.is_complex_type() and len(tags.tags) > 0:
        dashes = [t.value for t in tags.tags if t.code == 49]
        if dashes:
            scale = doc.header.get("$LTSCALE", 1.0) * e.dxf.get("ltscale", 1.0)
            return [abs(d) * scale for d in dashes]
    return None


def segments_of(doc, e, tolerance, m=None):
    """The entity's segments, placed by the block references' matrix `m`
    (the product of every level's, applied to the geometry itself, so blocks
    in stretched and turned blocks come out skewed as they must)."""
    place = (lambda v: v) if m is None else m.transform
    kind = e.dxftype()
    if kind == "POINT":
        p = place(e.dxf.location)
        return [((p.x, p.y), (p.x, p.y))]
    if kind == "HATCH":
        if e.dxf.solid_fill:
            out = []
            for p in path.from_hatch(e):
                if m is not None:
                    p = p.transform(m)
                pts = [(v.x, v.y) for v in p.flattening(tolerance)]
                out += list(zip(pts, pts[1:]))
                out.append((pts[-1], pts[0]))
            return out
        lines = [(place(a), place(b)) for a, b in hatching.hatch_entity(e)]
        return [((a.x, a.y), (b.x, b.y)) for a, b in lines]
    if kind in ("SOLID", "TRACE", "3DFACE"):
        v = [place(p) for p in (e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.vtx3)]
        pts = [v[0], v[1], v[3], v[2]] if kind != "3DFACE" else v
        pts = [(p.x, p.y) for p in pts]
        if pts[2] == pts[3]:
            pts.pop()
        return list(zip(pts, pts[1:] + pts[:1]))
    try:
        p = path.make_path(e)
    except TypeError:
        return []
    if m is not None:
        p = p.transform(m)
    out = []
    for sub in p.sub_paths():
        pts = [(v.x, v.y) for v in sub.flattening(tolerance)]
        pattern = linetype_pattern(doc, e)
        if pattern:
            renderer = LineTypeRenderer(pattern)
            out += [((a.x, a.y), (b.x, b.y)) for a, b in renderer.line_segments(pts)]
        else:
            out += list(zip(pts, pts[1:]))
    return out


def plotted_entities(doc, entities, parent_layer=None, parent_colour=7, m=None):
    """Model space with blocks and dimensions expanded; yields each entity
    with its colour (BYLAYER and BYBLOCK resolved, entities on layer 0 in a
    block taking the reference's layer) and the matrix that places it."""
    for e in entities:
        layer = e.dxf.get("layer", "0")
        if parent_layer is not None and layer == "0":
            layer = parent_layer
        colour = e.dxf.get("color", 256)
        if e.dxf.hasattr("true_color"):
            colour = nearest_aci(e.dxf.true_color)
        elif colour == 256:
            table = doc.layers.get(layer)
            colour = abs(table.dxf.color) if table is not None else 7
        elif colour == 0:
            colour = parent_colour
        kind = e.dxftype()
        if kind in ("INSERT", "DIMENSION"):
            table = doc.layers.get(layer)
            if table is not None and (table.is_frozen() or table.dxf.get("plot", 1) == 0):
                continue
            if kind == "DIMENSION":
                block = e.get_geometry_block()
                if block is not None:
                    yield from plotted_entities(doc, block, layer, colour, m)
                continue
            for copy in e.multi_insert():
                inner = copy.matrix44() if m is None else copy.matrix44() @ m
                shown = [c for c in copy.block() if c.dxftype() != "ATTDEF"]
                yield from plotted_entities(doc, shown, layer, colour, inner)
            continue
        if layer_plots(doc, layer):
            yield e, colour, m


def expect(filename, tolerance):
    doc = ezdxf.readfile(filename)
    for e, colour, m in plotted_entities(doc, doc.modelspace()):
        if e.dxftype() in ("TEXT", "MTEXT", "ATTRIB"):
            continue
        for a, b in segments_of(doc, e, tolerance / 20, m):
            print(colour, a[0], a[1], b[0], b[1])


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    elif sys.argv[1] == "expect":
        expect(sys.argv[2], float(sys.argv[3]))
    else:
        sys.exit("usage: ezdxfOracle.py make GROUP FILE | expect FILE TOL")
