#!/usr/bin/python3
"""Writes the DXF example drawings with ezdxf (Debian python3-ezdxf):

  examples/floor-plan.dxf       a flat: walls, doors and windows as blocks,
                                furniture (nested blocks), tiles, room names,
                                dimensions, grid lines
  examples/mechanical-part.dxf  a flange: outline with fillets, a bolt circle
                                of nested blocks, a slot, a cam profile
                                spline, an elliptical boss, centre and hidden
                                lines, a section hatch, dimensions, notes

Run it again after changing it: /usr/bin/python3 scripts/make-dxf-examples.py
"""
import math
import os

import ezdxf
from ezdxf.enums import TextEntityAlignment

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def layers(doc, table):
    for name, colour, linetype, lineweight in table:
        layer = doc.layers.add(name, color=colour, linetype=linetype)
        layer.dxf.lineweight = lineweight


def fixed(doc):
    """Stable header values, so that regenerating changes only what changed."""
    doc.header["$TDCREATE"] = 2460000.5
    doc.header["$TDUPDATE"] = 2460000.5
    doc.header["$FINGERPRINTGUID"] = "{00000000-0000-0000-0000-000000000001}"
    doc.header["$VERSIONGUID"] = "{00000000-0000-0000-0000-000000000002}"


def plain_dimension_text(doc):
    """Dimension text in the drawing's standard style (the stroke font), as
    its other text: ezdxf's own dimension style names a TrueType font
    (Open Sans Condensed) that a plotting machine seldom has."""
    doc.dimstyles.get("EZDXF").dxf.dimtxsty = "Standard"


def floor_plan():
    doc = ezdxf.new("R2010", setup=True)
    plain_dimension_text(doc)
    doc.header["$INSUNITS"] = 4  # millimetres
    doc.header["$LTSCALE"] = 50
    layers(doc, [
        ("WALLS", 7, "CONTINUOUS", 50), ("WALL-FILL", 8, "CONTINUOUS", 0), ("DOORS", 1, "CONTINUOUS", 25),
        ("WINDOWS", 4, "CONTINUOUS", 25), ("FURNITURE", 3, "CONTINUOUS", 18), ("TILES", 9, "CONTINUOUS", 9),
        ("GRID", 1, "CENTER", 13), ("OVERHEAD", 6, "DASHED", 18), ("TEXT", 7, "CONTINUOUS", 25),
        ("DIMENSIONS", 2, "CONTINUOUS", 13), ("NOTES-HIDDEN", 5, "CONTINUOUS", 25),
    ])
    doc.layers.get("NOTES-HIDDEN").off()
    msp = doc.modelspace()

    # Walls: outer and inner outlines, the wall between filled.
    outer = [(0, 0), (12000, 0), (12000, 9000), (0, 9000)]
    inner = [(250, 250), (11750, 250), (11750, 8750), (250, 8750)]
    msp.add_lwpolyline(outer, close=True, dxfattribs={"layer": "WALLS"})
    msp.add_lwpolyline(inner, close=True, dxfattribs={"layer": "WALLS"})
    fill = msp.add_hatch(dxfattribs={"layer": "WALL-FILL", "color": 8})
    fill.paths.add_polyline_path(outer, is_closed=True)
    fill.paths.add_polyline_path(inner, is_closed=True)
    for x0, y0, x1, y1 in [(5000, 250, 5120, 5500), (5120, 5380, 11750, 5500), (250, 5380, 3000, 5500),
                           (8200, 250, 8320, 5380)]:
        msp.add_lwpolyline([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], close=True, dxfattribs={"layer": "WALLS"})

    # Blocks: a door (leaf and swing), a window, a chair, a table with chairs.
    door = doc.blocks.new("DOOR-900")
    door.add_line((0, 0), (0, 900), dxfattribs={"layer": "0"})
    door.add_arc((0, 0), 900, 0, 90, dxfattribs={"layer": "0"})
    window = doc.blocks.new("WINDOW-1500")
    for y in (0, 125, 250):
        window.add_line((0, y), (1500, y), dxfattribs={"layer": "0"})
    chair = doc.blocks.new("CHAIR")
    chair.add_lwpolyline([(-225, -225), (225, -225), (225, 225), (-225, 225)], close=True)
    chair.add_lwpolyline([(-225, 225), (-225, 300, 0, 0, -0.3), (225, 300), (225, 225)])
    table = doc.blocks.new("TABLE-6")
    table.add_lwpolyline([(-900, -450), (900, -450), (900, 450), (-900, 450)], close=True,
                         dxfattribs={"color": 30})
    for x in (-500, 0, 500):
        table.add_blockref("CHAIR", (x, 700), dxfattribs={"rotation": 0})
        table.add_blockref("CHAIR", (x, -700), dxfattribs={"rotation": 180})
    bed = doc.blocks.new("BED")
    bed.add_lwpolyline([(0, 0), (1600, 0), (1600, 2000), (0, 2000)], close=True)
    bed.add_lwpolyline([(100, 1600), (700, 1600, 0, 0, 0.2), (700, 1900), (100, 1900, 0, 0, 0.2)], close=True)
    bed.add_lwpolyline([(900, 1600), (1500, 1600, 0, 0, 0.2), (1500, 1900), (900, 1900, 0, 0, 0.2)], close=True)

    for at, rotation, xscale in [((3600, 5440), 0, 1), ((6500, 5440), 180, -1), ((5060, 2000), 90, 1),
                                 ((8260, 3800), 270, 1), ((1000, 0), 90, 1)]:
        msp.add_blockref("DOOR-900", at, dxfattribs={"layer": "DOORS", "rotation": rotation, "xscale": xscale})
    for at, rotation in [((1500, 8750), 0), ((7000, 8750), 0), ((9500, 8750), 0), ((11750, 1500), 90),
                         ((2500, 0), 0), ((250, 6200), 90)]:
        msp.add_blockref("WINDOW-1500", at, dxfattribs={"layer": "WINDOWS", "rotation": rotation})
    msp.add_blockref("TABLE-6", (2600, 2700), dxfattribs={"layer": "FURNITURE"})
    msp.add_blockref("BED", (9200, 6200), dxfattribs={"layer": "FURNITURE"})
    row = msp.add_blockref("CHAIR", (5800, 700), dxfattribs={"layer": "FURNITURE", "rotation": 90})
    row.grid(size=(1, 4), spacing=(0, 600))

    # Bathroom: tiles, a bath (ellipse inside), a basin.
    tiles = msp.add_hatch(dxfattribs={"layer": "TILES"})
    tiles.set_pattern_fill("NET", scale=300, color=256)
    tiles.paths.add_polyline_path([(8320, 250), (11750, 250), (11750, 5380), (8320, 5380)], is_closed=True)
    tiles.paths.add_polyline_path([(9800, 600), (11600, 600), (11600, 1500), (9800, 1500)], is_closed=True)
    msp.add_lwpolyline([(9800, 600), (11600, 600), (11600, 1500), (9800, 1500)], close=True,
                       dxfattribs={"layer": "FURNITURE"})
    msp.add_ellipse((10700, 1050), major_axis=(750, 0), ratio=0.45, dxfattribs={"layer": "FURNITURE"})
    msp.add_ellipse((11400, 3500), major_axis=(0, 280), ratio=0.7, start_param=math.pi, end_param=2 * math.pi,
                    dxfattribs={"layer": "FURNITURE"})
    msp.add_line((11400, 3220), (11400, 3780), dxfattribs={"layer": "FURNITURE"})

    # Kitchen worktop and the cupboards above it (hidden line).
    msp.add_lwpolyline([(5120, 4780), (8200, 4780)], dxfattribs={"layer": "FURNITURE"})
    msp.add_lwpolyline([(5120, 4980), (8200, 4980)], dxfattribs={"layer": "OVERHEAD"})
    msp.add_circle((6000, 5080), 180, dxfattribs={"layer": "FURNITURE"})
    msp.add_circle((6500, 5080), 180, dxfattribs={"layer": "FURNITURE"})
    msp.add_spline([(5300, 3000), (5600, 3600), (6300, 3300), (7000, 3900), (7800, 3500)],
                   dxfattribs={"layer": "FURNITURE", "color": 94})

    # Grid lines and their bubbles.
    for x, label in ((0, "A"), (5060, "B"), (12000, "C")):
        msp.add_line((x, -1500), (x, 10000), dxfattribs={"layer": "GRID"})
        msp.add_circle((x, 10400), 400, dxfattribs={"layer": "GRID"})
        msp.add_text(label, height=350, dxfattribs={"layer": "GRID"}).set_placement(
            (x, 10400), align=TextEntityAlignment.MIDDLE_CENTER)

    # Room names, a title and notes.
    for text, at in [("LIVING", (2600, 4300)), ("KITCHEN", (6600, 4300)), ("BEDROOM", (8000, 7200)),
                     ("BATH", (10000, 2700)), ("HALL", (3000, 7200))]:
        msp.add_text(text, height=250, dxfattribs={"layer": "TEXT"}).set_placement(
            at, align=TextEntityAlignment.MIDDLE_CENTER)
    msp.add_text("FLOOR PLAN 1:50", height=400, dxfattribs={"layer": "TEXT", "width": 1.2}).set_placement(
        (0, -2600))
    notes = msp.add_mtext("Flat 4, level 2\\PWalls 250 mm, partitions 120 mm\\PArea 108 sq m ±0.5",
                          dxfattribs={"layer": "TEXT", "char_height": 180, "width": 4000})
    notes.set_location((7000, -1800))
    msp.add_text("hidden note", height=200, dxfattribs={"layer": "NOTES-HIDDEN"}).set_placement((100, 100))

    # Dimensions, through their blocks.
    for p1, p2, base in [((0, 0), (12000, 0), (0, -900)), ((0, 0), (5060, 0), (0, -500)),
                         ((5060, 0), (12000, 0), (0, -500))]:
        msp.add_linear_dim(base=base, p1=p1, p2=p2, dimstyle="EZDXF",
                           override={"dimtxt": 250, "dimasz": 200, "dimexe": 100, "dimexo": 100, "dimlfac": 1},
                           dxfattribs={"layer": "DIMENSIONS"}).render()
    msp.add_linear_dim(base=(-900, 0), p1=(0, 0), p2=(0, 9000), angle=90, dimstyle="EZDXF",
                       override={"dimtxt": 250, "dimasz": 200, "dimexe": 100, "dimexo": 100, "dimlfac": 1},
                       dxfattribs={"layer": "DIMENSIONS"}).render()
    fixed(doc)
    doc.saveas(os.path.join(ROOT, "examples", "floor-plan.dxf"))


def mechanical_part():
    doc = ezdxf.new("R2013", setup=True)
    plain_dimension_text(doc)
    doc.header["$INSUNITS"] = 4
    doc.header["$LTSCALE"] = 0.5
    layers(doc, [
        ("OUTLINE", 7, "CONTINUOUS", 50), ("HIDDEN", 5, "DASHED", 25), ("CENTER", 1, "CENTER", 18),
        ("HATCH", 8, "CONTINUOUS", 13), ("DIMS", 3, "CONTINUOUS", 18), ("NOTES", 7, "CONTINUOUS", 25),
        ("TITLE", 7, "CONTINUOUS", 35),
    ])
    msp = doc.modelspace()

    # Outline: a plate with rounded corners (bulges of a quarter circle).
    b = math.tan(math.radians(90) / 4)
    r = 15
    msp.add_lwpolyline([(r, 0, 0, 0, 0), (200 - r, 0, 0, 0, b), (200, r, 0, 0, 0), (200, 140 - r, 0, 0, b),
                        (200 - r, 140, 0, 0, 0), (r, 140, 0, 0, b), (0, 140 - r, 0, 0, 0), (0, r, 0, 0, b)],
                       format="xyseb", close=True, dxfattribs={"layer": "OUTLINE"})
    # The bore and its counterbore (hidden).
    msp.add_circle((100, 70), 30, dxfattribs={"layer": "OUTLINE"})
    msp.add_circle((100, 70), 38, dxfattribs={"layer": "HIDDEN", "ltscale": 6})
    # Bolt circle: each hole a block with a centre mark nested in it.
    mark = doc.blocks.new("CENTERMARK")
    mark.add_line((-6, 0), (6, 0), dxfattribs={"layer": "CENTER"})
    mark.add_line((0, -6), (0, 6), dxfattribs={"layer": "CENTER"})
    hole = doc.blocks.new("HOLE-M8")
    hole.add_circle((0, 0), 4.5, dxfattribs={"layer": "0"})
    hole.add_blockref("CENTERMARK", (0, 0))
    for k in range(6):
        a = math.radians(30 + 60 * k)
        msp.add_blockref("HOLE-M8", (100 + 52 * math.cos(a), 70 + 52 * math.sin(a)),
                         dxfattribs={"layer": "OUTLINE", "rotation": 60 * k})
    msp.add_circle((100, 70), 52, dxfattribs={"layer": "CENTER"})
    msp.add_line((35, 70), (165, 70), dxfattribs={"layer": "CENTER"})
    msp.add_line((100, 5), (100, 135), dxfattribs={"layer": "CENTER"})
    # Mounting holes in the corners as an array, mirrored on the other side.
    corner = msp.add_blockref("HOLE-M8", (15, 15), dxfattribs={"layer": "OUTLINE"})
    corner.grid(size=(2, 1), spacing=(110, 0))
    msp.add_blockref("HOLE-M8", (185, 15), dxfattribs={"layer": "OUTLINE", "xscale": -1})
    msp.add_blockref("HOLE-M8", (185, 125), dxfattribs={"layer": "OUTLINE", "xscale": -1, "yscale": -1})
    # A slot and an elliptical boss.
    msp.add_lwpolyline([(150, 115, 0, 0, -1), (150, 125, 0, 0, 0), (175, 125, 0, 0, -1), (175, 115)],
                       format="xyseb", close=True, dxfattribs={"layer": "OUTLINE"})
    msp.add_ellipse((35, 110), major_axis=(14, 6), ratio=0.5, dxfattribs={"layer": "OUTLINE"})
    msp.add_ellipse((35, 110), major_axis=(20, 8.6), ratio=0.5, start_param=0.3, end_param=3.0,
                    dxfattribs={"layer": "HIDDEN", "ltscale": 6})
    # A cam profile as a spline through fit points, and a NURBS guard.
    msp.add_spline([(230, 20), (250, 60), (290, 75), (320, 50), (300, 15), (260, 5), (230, 20)],
                   dxfattribs={"layer": "OUTLINE"})
    guard = msp.add_rational_spline([(230, 100), (260, 140), (300, 90), (330, 135)], weights=[1, 2, 0.5, 1],
                                    degree=3, dxfattribs={"layer": "OUTLINE", "color": 140})
    guard.dxf.flags = 8
    # Section of the plate below: outline and a hatched cut with a hole.
    section = [(0, -60), (200, -60), (200, -40), (0, -40)]
    msp.add_lwpolyline(section, close=True, dxfattribs={"layer": "OUTLINE"})
    cut = msp.add_hatch(dxfattribs={"layer": "HATCH"})
    cut.set_pattern_fill("ANSI31", scale=1.0, color=256)
    cut.paths.add_polyline_path(section, is_closed=True)
    cut.paths.add_polyline_path([(70, -60), (130, -60), (130, -40), (70, -40)], is_closed=True)
    red = msp.add_hatch(color=1, dxfattribs={"layer": "HATCH"})
    edges = red.paths.add_edge_path()
    edges.add_line((240, -60), (300, -60))
    edges.add_arc((300, -45), 15, -90, 90)
    edges.add_line((300, -30), (240, -30))
    edges.add_ellipse((240, -45), major_axis=(0, 15), ratio=0.5, start_angle=0, end_angle=180)
    msp.add_solid([(320, -60), (340, -60), (320, -30), (340, -30)], dxfattribs={"layer": "HATCH", "color": 5})

    # Dimensions.
    override = {"dimtxt": 3.5, "dimasz": 3, "dimexe": 1.5, "dimexo": 1, "dimlfac": 1}
    msp.add_linear_dim(base=(0, -80), p1=(0, -60), p2=(200, -60), dimstyle="EZDXF", override=override,
                       dxfattribs={"layer": "DIMS"}).render()
    msp.add_linear_dim(base=(-20, 0), p1=(0, 15), p2=(0, 125), angle=90, dimstyle="EZDXF", override=override,
                       dxfattribs={"layer": "DIMS"}).render()
    msp.add_diameter_dim(center=(100, 70), radius=30, angle=135, dimstyle="EZDXF", override=override,
                         dxfattribs={"layer": "DIMS"}).render()
    msp.add_radius_dim(center=(100, 70), radius=52, angle=80, dimstyle="EZDXF", override=override,
                       dxfattribs={"layer": "DIMS"}).render()

    # Notes and the title block.
    notes = msp.add_mtext("NOTES\\P1. Break all sharp edges 0.5 x 45%%d\\P2. Bolt circle %%c104 ±0.05\\P"
                          "3. Material: S355, 20 thick", dxfattribs={"layer": "NOTES", "char_height": 4,
                                                                       "width": 120})
    notes.set_location((220, 200))
    msp.add_lwpolyline([(220, 150), (360, 150), (360, 175), (220, 175)], close=True, dxfattribs={"layer": "TITLE"})
    msp.add_text("FLANGE PLATE", height=6, dxfattribs={"layer": "TITLE"}).set_placement(
        (290, 165), align=TextEntityAlignment.MIDDLE_CENTER)
    msp.add_text("TAVIX-0042  scale 1:1  mm", height=3,
                 dxfattribs={"layer": "TITLE", "oblique": 15}).set_placement((225, 154))
    fixed(doc)
    doc.saveas(os.path.join(ROOT, "examples", "mechanical-part.dxf"))


if __name__ == "__main__":
    floor_plan()
    mechanical_part()
