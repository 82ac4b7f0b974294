// Dash patterns along polylines against ezdxf's LineTypeRenderer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "curveOracle.h"
#include "geometry/arc.h"
#include "geometry/linetype.h"

namespace tavix::geometry {
namespace {

using test::json;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

std::vector<Segment> pieces(const std::vector<Polyline>& dashes) {
  std::vector<Segment> out;
  for (const Polyline& dash : dashes)
    for (std::size_t i = 1; i < dash.size(); ++i) out.push_back({dash[i - 1], dash[i]});
  return out;
}

TEST(Linetypes, dashesMatchEzdxfAcrossVertices) {
  const Polyline arc = *flattenArc({0, 0}, 20, 10, 170, 0.01);
  const struct {
    const char* name;
    Polyline line;
    std::vector<double> pattern;
    double scale;
  } table[] = {
      {"corner inside a dash", {{0, 0}, {10, 0}, {10, 3}}, {2, -1, 0, -1}, 1},
      {"scaled", {{0, 0}, {7, 7}, {20, 7}, {20, -3}}, {5, -2.5}, 0.5},
      {"closed square with dots", {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}}, {0.5, -0.25, 0, -0.25}, 1},
      {"along a flattened arc", arc, {1, -1}, 1},
      {"centre line", {{-5, -5}, {30, 12}}, {31.75, -6.35, 6.35, -6.35}, 0.1},
  };
  std::vector<std::string> requests;
  for (const auto& row : table)
    requests.push_back("{\"kind\": \"linetype\", \"points\": " + json(row.line) + ", \"pattern\": " +
                       json(row.pattern) + ", \"scale\": " + json(row.scale) + "}");
  const auto theirs = test::askOracleForSegments(requests);
  ASSERT_EQ(theirs.size(), std::size(table));
  for (std::size_t i = 0; i < std::size(table); ++i) {
    SCOPED_TRACE(table[i].name);
    test::expectSameDrawing(pieces(applyLinetype(table[i].line, table[i].pattern, table[i].scale)), theirs[i], 1e-9);
  }
}

TEST(Linetypes, aDashTurningACornerIsOnePolyline) {
  const auto dashes = applyLinetype({{0, 0}, {3, 0}, {3, 3}}, {4, -1}, 1);
  ASSERT_EQ(dashes.size(), 2u);
  ASSERT_EQ(dashes[0].size(), 3u);
  EXPECT_DOUBLE_EQ(dashes[0][1].x, 3);
  EXPECT_DOUBLE_EQ(dashes[0][2].y, 1);
  EXPECT_DOUBLE_EQ(dashes[1][0].y, 2);
  EXPECT_DOUBLE_EQ(dashes[1][1].y, 3);
}

TEST(Linetypes, dotsAreZeroLengthSegments) {
  const auto dashes = applyLinetype({{0, 0}, {10, 0}}, {0, -2}, 1);
  ASSERT_EQ(dashes.size(), 5u);  // at 0, 2, 4, 6, 8; the pattern ends in a gap
  for (std::size_t i = 0; i < dashes.size(); ++i) {
    ASSERT_EQ(dashes[i].size(), 2u);
    EXPECT_DOUBLE_EQ(dashes[i][0].x, 2.0 * i);
    EXPECT_DOUBLE_EQ(dashes[i][1].x, 2.0 * i);
  }
}

TEST(Linetypes, patternsThatCanNotBeLaidOutDrawTheLineWhole) {
  const Polyline line = {{0, 0}, {1000, 0}, {1000, 5}};
  const struct {
    const char* name;
    std::vector<double> pattern;
    double scale;
  } table[] = {
      {"empty pattern", {}, 1},
      {"all dots", {0, 0}, 1},
      {"zero scale", {1, -1}, 0},
      {"negative scale", {1, -1}, -2},
      {"NaN scale", {1, -1}, NaN},
      {"NaN element", {1, NaN}, 1},
      {"far too fine", {1e-9, -1e-9}, 1},
      {"infinite element", {std::numeric_limits<double>::infinity(), -1}, 1},
      {"line shorter than the pattern", {800, -300}, 1},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    const auto dashes = applyLinetype(line, row.pattern, row.scale);
    ASSERT_EQ(dashes.size(), 1u);
    EXPECT_EQ(dashes[0].size(), line.size());
  }
}

TEST(Linetypes, badPolylinesGiveNothing) {
  EXPECT_TRUE(applyLinetype({}, {1, -1}, 1).empty());
  EXPECT_TRUE(applyLinetype({{0, 0}, {NaN, 1}}, {1, -1}, 1).empty());
  EXPECT_TRUE(applyLinetype({{0, 0}, {1e308, 0}, {-1e308, 0}}, {1, -1}, 1).size() <= 1);
}

}  // namespace
}  // namespace tavix::geometry
