#include "curveOracle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "geometry/point.h"

namespace tavix::geometry::test {
namespace {

Polyline parsePoints(const std::string& line) {
  std::istringstream in(line);
  in.imbue(std::locale::classic());
  Polyline out;
  double x, y;
  while (in >> x >> y) out.push_back({x, y});
  return out;
}

double segmentDistance(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, dd = dx * dx + dy * dy;
  double t = dd > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / dd : 0;
  t = std::fmax(0, std::fmin(1, t));
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

std::vector<OracleCurve> askOracle(const std::vector<std::string>& jsonCases) {
  std::vector<OracleCurve> curves;
  char inPath[] = "/tmp/tavix-geometry-oracle-XXXXXX";
  const int fd = mkstemp(inPath);
  if (fd < 0) {
    ADD_FAILURE() << "no temporary file";
    return {};
  }
  close(fd);
  {
    std::ofstream in(inPath);
    for (const std::string& c : jsonCases) in << c << '\n';
  }
  const std::string command = std::string(TAVIX_SYSTEM_PYTHON) + " " + TAVIX_GEOMETRY_TEST_DIR +
                              "/oracle.py < " + inPath;
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  if (pipe) {
    char buffer[65536];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << "oracle failed: " << command;
  }
  std::remove(inPath);
  std::istringstream lines(output);
  std::string truth, reference;
  while (std::getline(lines, truth) && std::getline(lines, reference))
    curves.push_back({parsePoints(truth), parsePoints(reference)});
  EXPECT_EQ(curves.size(), jsonCases.size()) << "oracle answered " << curves.size() << " of "
                                             << jsonCases.size() << " cases";
  return curves;
}

std::vector<std::vector<Segment>> askOracleForSegments(const std::vector<std::string>& jsonCases) {
  std::vector<std::vector<Segment>> out;
  for (const OracleCurve& answer : askOracle(jsonCases)) {
    out.emplace_back();
    for (std::size_t i = 0; i + 1 < answer.truth.size(); i += 2) out.back().push_back({answer.truth[i], answer.truth[i + 1]});
  }
  return out;
}

void expectSameDrawing(const std::vector<Segment>& ours, const std::vector<Segment>& theirs, double epsilon) {
  auto total = [](const std::vector<Segment>& pieces) {
    double sum = 0;
    for (const Segment& s : pieces) sum += std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
    return sum;
  };
  EXPECT_NEAR(total(ours), total(theirs), epsilon * (1 + ours.size() + theirs.size()))
      << ours.size() << " pieces against " << theirs.size();
  auto covered = [&](const std::vector<Segment>& pieces, const std::vector<Segment>& by, const char* what) {
    for (const Segment& s : pieces)
      for (const Point& p : {s.a, s.b, Point{(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2}}) {
        double best = INFINITY;
        for (const Segment& t : by) best = std::fmin(best, segmentDistance(p, t.a, t.b));
        if (best > epsilon) {
          ADD_FAILURE() << what << " point (" << p.x << ", " << p.y << ") is " << best << " from the other drawing";
          return;
        }
      }
  };
  covered(ours, theirs, "our");
  covered(theirs, ours, "ezdxf's");
}

double farthestFrom(const Polyline& points, const Polyline& line) {
  double worst = 0;
  for (const Point& p : points) {
    double best = INFINITY;
    if (line.size() == 1) best = std::hypot(p.x - line[0].x, p.y - line[0].y);
    for (std::size_t i = 1; i < line.size(); ++i) best = std::fmin(best, segmentDistance(p, line[i - 1], line[i]));
    worst = std::fmax(worst, best);
  }
  return worst;
}

std::string json(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

std::string json(Point p) { return "[" + json(p.x) + ", " + json(p.y) + "]"; }

std::string json(const std::vector<Point>& points) {
  std::string out = "[";
  for (std::size_t i = 0; i < points.size(); ++i) out += (i ? ", " : "") + json(points[i]);
  return out + "]";
}

std::string json(const std::vector<double>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + json(values[i]);
  return out + "]";
}

}  // namespace tavix::geometry::test
