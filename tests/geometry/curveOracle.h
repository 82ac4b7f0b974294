#pragma once
// Runs tests/geometry/oracle.py (ezdxf) and measures polylines against
// the curves it returns.
#include <string>
#include <vector>

#include "geometry/point.h"

namespace tavix::geometry::test {

struct OracleCurve {
  Polyline truth;       // flattened far below the tolerance
  Polyline reference;   // ezdxf's own flattening at the tolerance
};

// One JSON object per case (see oracle.py); fails the test when Python or
// ezdxf is missing or the count of answers is wrong.
std::vector<OracleCurve> askOracle(const std::vector<std::string>& jsonCases);

// Pen-down pieces "x0 y0 x1 y1" of a linetype or hatch case (see oracle.py).
std::vector<std::vector<Segment>> askOracleForSegments(const std::vector<std::string>& jsonCases);

// Both sets of pieces draw the same: the same total length, and the ends
// and middle of every piece of each lie on a piece of the other.
void expectSameDrawing(const std::vector<Segment>& ours, const std::vector<Segment>& theirs, double epsilon);

// The largest distance from any point of `points` to the polyline `line`.
double farthestFrom(const Polyline& points, const Polyline& line);

// "[x, y]" for the JSON of a case, exact to the last bit.
std::string json(Point p);
std::string json(const std::vector<Point>& points);
std::string json(const std::vector<double>& values);
std::string json(double v);

}  // namespace tavix::geometry::test
