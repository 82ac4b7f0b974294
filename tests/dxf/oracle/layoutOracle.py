#!/usr/bin/python3
"""Paper-space layouts with viewports, written by ezdxf and drawn by ezdxf's
drawing add-on (matplotlib), for the layout plot's ink comparison.

  layoutOracle.py make CASE FILE.dxf       writes the drawing; prints its layout's name and sheet size
  layoutOracle.py render FILE.dxf LAYOUT PNG PX_PER_MM
                                           draws the layout's sheet (its limits from 0, 0) as ezdxf does

ezdxf 0.18's matplotlib backend takes the viewport's clipping path but
does not apply it ("This does not work!!!" in its source): `render` clips
the artists each viewport adds to the path ezdxf gives (ezdxf.path.make_path
of the viewport: its rectangle or its clipping entity), through matplotlib.

Every case but "pens" (lines in six colours) has the same model space (a grid of lines, circles, a filled
square, a line on layer HIDDEN) and an A3 sheet in millimetres with a title
block frame. ezdxf 0.18 leaves viewport frames out where the CAD host plots
them: `render` draws the frame of every viewport not clipped by an entity.
"""
import sys

import ezdxf
from ezdxf.math import Vec2

SHEET_W, SHEET_H = 420.0, 297.0


def model_space(doc):
    msp = doc.modelspace()
    doc.layers.add("GRID", color=1)
    doc.layers.add("HIDDEN", color=3)
    doc.layers.add("VIEWPORTS", color=5)
    for i in range(0, 11):
        msp.add_line((i * 20, 0), (i * 20, 200), dxfattribs={"layer": "GRID"})
        msp.add_line((0, i * 20), (200, i * 20), dxfattribs={"layer": "GRID"})
    msp.add_circle((100, 100), 60, dxfattribs={"color": 4})
    msp.add_circle((60, 140), 15, dxfattribs={"color": 6})
    msp.add_solid([(120, 20), (180, 20), (120, 80), (180, 80)], dxfattribs={"color": 2})
    msp.add_line((0, 0), (200, 200), dxfattribs={"layer": "HIDDEN"})
    msp.add_line((0, 200), (200, 0), dxfattribs={"layer": "HIDDEN"})


def title_block(layout):
    layout.add_lwpolyline([(10, 10), (410, 10), (410, 287), (10, 287)], close=True)
    layout.add_lwpolyline([(300, 10), (410, 10), (410, 50), (300, 50)], close=True, dxfattribs={"color": 1})
    layout.add_line((300, 30), (410, 30), dxfattribs={"color": 1})


def viewport(layout, centre, size, view_centre, view_height, **attribs):
    vp = layout.add_viewport(center=centre, size=size, view_center_point=view_centre, view_height=view_height,
                             dxfattribs={"layer": "VIEWPORTS", **attribs})
    return vp


def make(case, filename):
    doc = ezdxf.new("R2010", setup=True)
    if case != "pens":
        model_space(doc)
    # The second layout lives in a block of its own (*Paper_Space0), the
    # first in the entities: both are read.
    layout = doc.layouts.new("Plot " + case) if case != "scale" else doc.layouts.get("Layout1")
    if case == "settings":
        # Plotted at 1:2, 10 mm right of and 20 mm above the corner.
        layout.page_setup(size=(SHEET_W, SHEET_H), margins=(0, 0, 0, 0), units="mm", offset=(10, 20), scale=(1, 2))
    else:
        layout.page_setup(size=(SHEET_W, SHEET_H), margins=(0, 0, 0, 0), units="mm")
    title_block(layout)
    if case == "scale":
        # 1:2, the model's lower left quarter cut off by the rectangle.
        viewport(layout, (150, 150), (200, 160), (120, 110), 320)
        # 2:1 of the small circle.
        viewport(layout, (350, 170), (100, 100), (60, 140), 50)
    elif case == "twist":
        viewport(layout, (200, 150), (250, 200), (100, 100), 260, view_twist_angle=30)
    elif case in ("frozen", "thawed"):
        viewport(layout, (110, 150), (180, 180), (100, 100), 220)
        right = viewport(layout, (310, 150), (180, 180), (100, 100), 220)
        if case == "frozen":
            right.frozen_layers = ["HIDDEN"]
    elif case == "clip":
        outline = layout.add_lwpolyline([(100, 60), (300, 60), (340, 150), (200, 260), (60, 150)], close=True,
                                        dxfattribs={"color": 1})
        vp = viewport(layout, (200, 160), (300, 220), (100, 100), 220)
        vp.dxf.clipping_boundary_handle = outline.dxf.handle
        vp.dxf.flags = vp.dxf.flags | 0x10000
    elif case == "pens":
        # Lines in the colours the plot style oracle's table sets, and the
        # table named in the layout's plot settings.
        for i, colour in enumerate((1, 5, 6, 7, 9, 250)):
            doc.modelspace().add_line((210, i * 10), (300, i * 10 + 5), dxfattribs={"color": colour})
        viewport(layout, (200, 150), (380, 250), (150, 100), 250)
        layout.dxf_layout.dxf.current_style_sheet = "pens.ctb"
    elif case == "settings":
        viewport(layout, (200, 150), (250, 200), (100, 100), 260)
    elif case == "zero":
        viewport(layout, (200, 150), (200, 0), (100, 100), 200)
    else:
        raise SystemExit("unknown case " + case)
    doc.saveas(filename)
    print(layout.name, SHEET_W, SHEET_H)


def render(filename, name, png, px_per_mm):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from ezdxf.addons.drawing import Frontend, RenderContext
    from ezdxf.addons.drawing.matplotlib import MatplotlibBackend

    doc = ezdxf.readfile(filename)
    layout = doc.layouts.get(name)
    k = float(px_per_mm)
    fig = plt.figure(figsize=(SHEET_W / 25.4, SHEET_H / 25.4), dpi=25.4 * k)
    ax = fig.add_axes([0, 0, 1, 1])
    ctx = RenderContext(doc)
    ctx.set_current_layout(layout)
    from matplotlib.patches import PathPatch
    from ezdxf.path import to_matplotlib_path

    class ClippingBackend(MatplotlibBackend):
        def set_clipping_path(self, path=None, scale=1.0):
            artists = lambda: self.ax.lines + self.ax.collections + self.ax.patches
            if path:
                self._before = set(map(id, artists()))
                self._clip = PathPatch(to_matplotlib_path([path]), transform=self.ax.transData)
            else:
                for a in artists():
                    if id(a) not in getattr(self, "_before", set(map(id, artists()))):
                        a.set_clip_path(self._clip)
                self._before = set(map(id, artists()))
            return True

    out = ClippingBackend(ax, adjust_figure=False)
    Frontend(ctx, out).draw_layout(layout, finalize=True)
    for vp in layout.query("VIEWPORT"):
        if vp.dxf.id < 2 or vp.has_extended_clipping_path:
            continue
        corners = vp.clipping_rect_corners() + [vp.clipping_rect_corners()[0]]
        ax.plot([p.x for p in corners], [p.y for p in corners], color="#0000ff", linewidth=0.5)
    ax.set_xlim(0, SHEET_W)
    ax.set_ylim(0, SHEET_H)
    ax.set_axis_off()
    ax.set_facecolor("white")
    fig.patch.set_facecolor("white")
    fig.savefig(png, dpi=25.4 * k, facecolor="white")


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    elif sys.argv[1] == "render":
        render(*sys.argv[2:6])
