// Pattern hatches against ezdxf's hatching of the same definition.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "curveOracle.h"
#include "geometry/hatchPattern.h"

namespace tavix::geometry {
namespace {

using test::json;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<Polyline> SQUARE_WITH_HOLE = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}},
                                                {{3, 3}, {3, 7}, {7, 7}, {7, 3}}};

std::string oracleJson(const std::vector<PatternLine>& pattern, const std::vector<Polyline>& loops) {
  std::string lines = "[";
  for (std::size_t i = 0; i < pattern.size(); ++i)
    lines += std::string(i ? ", " : "") + "{\"angle\": " + json(pattern[i].angleDegrees) + ", \"base\": " +
             json(pattern[i].basePoint) + ", \"offset\": " + json(pattern[i].offset) + ", \"dashes\": " +
             json(pattern[i].dashes) + "}";
  std::string rings = "[";
  for (std::size_t i = 0; i < loops.size(); ++i) rings += (i ? ", " : "") + json(loops[i]);
  return "{\"kind\": \"hatch\", \"lines\": " + lines + "], \"loops\": " + rings + "]}";
}

TEST(HatchPatterns, segmentsMatchEzdxfInsideTheBoundary) {
  const struct {
    const char* name;
    std::vector<PatternLine> pattern;
    std::vector<Polyline> loops;
  } table[] = {
      {"solid lines, hole", {{45, {0, 0}, {-0.7, 0.7}, {}}}, SQUARE_WITH_HOLE},
      {"dashes and dots, hole", {{45, {0, 0}, {-0.5, 0.5}, {1, -0.5, 0, -0.5}}}, SQUARE_WITH_HOLE},
      {"two families", {{0, {0, 0.3}, {0, 1.25}, {}}, {90, {0.4, 0}, {-1.25, 0}, {0.6, -0.3}}}, SQUARE_WITH_HOLE},
      {"shifted rows in an L", {{0, {0.1, 0.2}, {0.5, 1}, {1.5, -0.5}}},
       {{{0, 0}, {8, 0}, {8, 3}, {3, 3}, {3, 9}, {0, 9}}}},
      {"triangle", {{30, {0.3, 0.2}, {-0.25, 0.433}, {}}}, {{{0, 0}, {12, 1}, {4, 9}}}},
      {"island in a hole", {{0, {0, 0.5}, {0, 1}, {}}},
       {{{0, 0}, {20, 0}, {20, 20}, {0, 20}}, {{5, 5}, {15, 5}, {15, 15}, {5, 15}}, {{8, 8}, {12, 8}, {12, 12}, {8, 12}}}},
  };
  std::vector<std::string> requests;
  for (const auto& row : table) requests.push_back(oracleJson(row.pattern, row.loops));
  const auto theirs = test::askOracleForSegments(requests);
  ASSERT_EQ(theirs.size(), std::size(table));
  for (std::size_t i = 0; i < std::size(table); ++i) {
    SCOPED_TRACE(table[i].name);
    const auto ours = hatchPatternSegments(table[i].pattern, 1, 0, table[i].loops);
    ASSERT_TRUE(ours.has_value());
    EXPECT_FALSE(ours->empty());
    // ezdxf rounds each line's distance to 4 decimals before drawing it.
    test::expectSameDrawing(*ours, theirs[i], 1e-4);
  }
}

// Where a line only touches the boundary, the half-open crossing rule
// decides: a line through a corner draws nothing (no stray dot), a line
// through two opposite corners spans the figure, and a line along an edge
// is drawn once, not for both edges of a strip.
TEST(HatchPatterns, linesTouchingTheBoundaryAreDrawnOnce) {
  const auto diamond = hatchPatternSegments({{0, {0, 0}, {0, 5}, {}}}, 1, 0, {{{5, 0}, {10, 5}, {5, 10}, {0, 5}}});
  ASSERT_TRUE(diamond);
  ASSERT_EQ(diamond->size(), 1u);
  EXPECT_DOUBLE_EQ(diamond->front().a.x, 0);
  EXPECT_DOUBLE_EQ(diamond->front().b.x, 10);
  EXPECT_DOUBLE_EQ(diamond->front().a.y, 5);
  const auto strip = hatchPatternSegments({{0, {0, 0}, {0, 2}, {}}}, 1, 0, {{{0, 0}, {10, 0}, {10, 2}, {0, 2}}});
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->size(), 1u);
}

TEST(HatchPatterns, holesStayEmpty) {
  const auto segments = hatchPatternSegments({{30, {0, 0}, {0, 0.2}, {}}}, 1, 0, SQUARE_WITH_HOLE);
  ASSERT_TRUE(segments);
  for (const Segment& s : *segments) {
    const Point middle{(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2};
    EXPECT_FALSE(middle.x > 3 + 1e-9 && middle.x < 7 - 1e-9 && middle.y > 3 + 1e-9 && middle.y < 7 - 1e-9)
        << "segment through the hole at (" << middle.x << ", " << middle.y << ")";
    for (const Point& p : {s.a, s.b}) {
      EXPECT_GE(p.x, -1e-9);
      EXPECT_LE(p.x, 10 + 1e-9);
    }
  }
}

TEST(HatchPatterns, scaleAndAngleApplyToTheWholeDefinition) {
  const PatternLine line{15, {1, 2}, {0.3, 1.1}, {2, -0.5, 0, -0.5}};
  const double scale = 2.5, angle = 40, r = angle * std::numbers::pi / 180;
  auto turn = [&](Point p) {
    return Point{scale * (p.x * std::cos(r) - p.y * std::sin(r)), scale * (p.x * std::sin(r) + p.y * std::cos(r))};
  };
  const PatternLine byHand{15 + angle, turn(line.basePoint), turn(line.offset), {5, -1.25, 0, -1.25}};
  const auto transformed = hatchPatternSegments({line}, scale, angle, SQUARE_WITH_HOLE);
  const auto given = hatchPatternSegments({byHand}, 1, 0, SQUARE_WITH_HOLE);
  ASSERT_TRUE(transformed && given);
  test::expectSameDrawing(*transformed, *given, 1e-9);
}

TEST(HatchPatterns, badDefinitionsGiveNothing) {
  const std::vector<Polyline> box = {{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}};
  const struct {
    const char* name;
    std::vector<PatternLine> pattern;
    double scale, angle;
    std::vector<Polyline> loops;
  } table[] = {
      {"offset along the line", {{0, {0, 0}, {1, 0}, {}}}, 1, 0, box},
      {"no offset", {{45, {0, 0}, {0, 0}, {}}}, 1, 0, box},
      {"NaN angle", {{NaN, {0, 0}, {0, 1}, {}}}, 1, 0, box},
      {"NaN dash", {{0, {0, 0}, {0, 1}, {1, NaN}}}, 1, 0, box},
      {"infinite base", {{0, {INFINITY, 0}, {0, 1}, {}}}, 1, 0, box},
      {"zero scale", {{0, {0, 0}, {0, 1}, {}}}, 0, 0, box},
      {"NaN pattern angle", {{0, {0, 0}, {0, 1}, {}}}, 1, NaN, box},
      {"lines far too dense", {{0, {0, 0}, {0, 1e-4}, {}}}, 1, 0, box},
      {"dashes far too fine", {{0, {0, 0}, {0, 10}, {1e-6, -1e-6}}}, 1, 0, box},
      {"gaps only, far too fine", {{0, {0, 0}, {0, 10}, {-1e-9}}}, 1, 0, box},
      {"NaN in a loop", {{0, {0, 0}, {0, 1}, {}}}, 1, 0, {{{0, 0}, {NaN, 0}, {1, 1}}}},
      {"loop overflowing the line count", {{0, {0, 0}, {0, 1}, {}}}, 1, 0, {{{0, -1e308}, {1, 1e308}, {2, 0}}}},
      {"lines too dense for a small figure", {{0, {0, 0}, {0, 1e-12}, {}}}, 1, 0, {{{0, 0}, {1, 0}, {1, 1}}}},
  };
  for (const auto& row : table)
    EXPECT_FALSE(hatchPatternSegments(row.pattern, row.scale, row.angle, row.loops).has_value()) << row.name;
}

// A zigzag of 2000 teeth 1000 high on a 10 deep base: each of the 1000
// lines through the teeth crosses 2000 edges (1000 pieces), each of the 10
// lines through the base crosses two.
TEST(HatchPatterns, manyEdgesAndManyLinesAreAllCut) {
  Polyline comb;
  for (int i = 0; i < 2000; ++i) comb.push_back({double(i), i % 2 ? 1000.0 : 0.0});
  comb.push_back({2000, -10});
  comb.push_back({0, -10});
  const auto segments = hatchPatternSegments({{0, {0, 0.5}, {0, 1}, {}}}, 1, 0, {comb});
  ASSERT_TRUE(segments);
  EXPECT_EQ(segments->size(), 1000u * 1000u + 10u);
}

TEST(HatchPatterns, nothingToFillGivesNoSegments) {
  const std::vector<PatternLine> lines = {{0, {0, 0}, {0, 1}, {}}};
  for (const auto& loops : std::vector<std::vector<Polyline>>{{}, {{}}, {{{1, 1}}}, {{{0, 0}, {5, 5}}}}) {
    const auto segments = hatchPatternSegments(lines, 1, 0, loops);
    ASSERT_TRUE(segments);
    EXPECT_TRUE(segments->empty());
  }
}

}  // namespace
}  // namespace tavix::geometry
