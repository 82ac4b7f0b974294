"""Independent reference curves for the geometry tests, computed by ezdxf.

Reads one JSON case per line on stdin and writes two lines per case. For a
curve: the curve flattened very finely (the truth), then ezdxf's own
flattening at the case's tolerance (to compare chord counts). For a linetype
or a hatch: the pen-down segments as "x0 y0 x1 y1 ...", then an empty line.
Points as "x y x y ...".
"""
import json
import math
import sys

from ezdxf.math import BSpline, ConstructionArc, ConstructionEllipse, Vec2, bulge_to_arc
from ezdxf.math.bspline import fit_points_to_cad_cv
from ezdxf.render import hatching
from ezdxf.render.linetypes import LineTypeRenderer

FINE = 1.0 / 200.0  # of the tolerance, for the truth


def curve_points(case, distance):
    kind = case["kind"]
    if kind == "arc":
        arc = ConstructionArc(case["center"], case["radius"], case["start"], case["end"])
        return list(arc.flattening(distance))
    if kind == "bulge":
        center, start, end, radius = bulge_to_arc(case["from"], case["to"], case["bulge"])
        arc = ConstructionArc(center, radius, math.degrees(start), math.degrees(end))
        return list(arc.flattening(distance))
    if kind == "ellipse":
        ellipse = ConstructionEllipse(
            center=(*case["center"], 0), major_axis=(*case["major"], 0), ratio=case["ratio"],
            start_param=case["start"], end_param=case["end"])
        return list(ellipse.flattening(distance, segments=16))
    if kind == "spline":
        spline = BSpline([(*p, 0) for p in case["control"]], order=case["degree"] + 1,
                         knots=case.get("knots") or None, weights=case.get("weights") or None)
        return list(spline.flattening(distance, segments=16))
    if kind == "fit":
        tangents = case.get("tangents")
        spline = fit_points_to_cad_cv([(*p, 0) for p in case["fit"]],
                                      tangents=[(*t, 0) for t in tangents] if tangents else None,
                                      estimate="5-p")
        return list(spline.flattening(distance, segments=16))
    raise ValueError(kind)


def segments(case):
    if case["kind"] == "linetype":
        # ezdxf wants dash, gap, dash, gap... as lengths; a dot is a dash of 0.
        renderer = LineTypeRenderer([abs(d) * case["scale"] for d in case["pattern"]])
        yield from renderer.line_segments([(*p, 0) for p in case["points"]])
        return
    loops = [[Vec2(p) for p in loop] for loop in case["loops"]]
    for line in case["lines"]:
        baseline = hatching.HatchBaseLine(
            Vec2(line["base"]), Vec2.from_deg_angle(line["angle"]), Vec2(line["offset"]), line["dashes"])
        for piece in hatching.hatch_polygons(baseline, loops):
            if line["dashes"]:
                yield from baseline.pattern_renderer(piece.distance).render(piece.start, piece.end)
            else:
                yield piece.start, piece.end


for line in sys.stdin:
    if not line.strip():
        continue
    case = json.loads(line)
    if case["kind"] in ("linetype", "hatch"):
        print(" ".join(f"{a.x!r} {a.y!r} {b.x!r} {b.y!r}" for a, b in segments(case)))
        print()
        continue
    tolerance = case["tolerance"]
    for distance in (tolerance * FINE, tolerance):
        points = curve_points(case, distance)
        print(" ".join(f"{p.x!r} {p.y!r}" for p in points))
