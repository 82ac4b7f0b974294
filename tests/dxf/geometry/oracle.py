"""Independent reference curves for the geometry tests, computed by ezdxf.

Reads one JSON case per line on stdin and writes two lines per case: the
curve flattened very finely (the truth), then ezdxf's own flattening at the
case's tolerance (to compare chord counts). Points as "x y x y ...".
"""
import json
import math
import sys

from ezdxf.math import BSpline, ConstructionArc, ConstructionEllipse, bulge_to_arc
from ezdxf.math.bspline import fit_points_to_cad_cv

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


for line in sys.stdin:
    if not line.strip():
        continue
    case = json.loads(line)
    tolerance = case["tolerance"]
    for distance in (tolerance * FINE, tolerance):
        points = curve_points(case, distance)
        print(" ".join(f"{p.x!r} {p.y!r}" for p in points))
