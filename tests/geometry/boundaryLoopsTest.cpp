// Nesting of boundary loops into outlines with holes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/boundaryLoops.h"

namespace tavix::geometry {
namespace {

Polyline square(double low, double high) { return {{low, low}, {high, low}, {high, high}, {low, high}}; }

TEST(BoundaryLoops, nestingAlternatesBetweenOutlinesAndHoles) {
  const struct {
    const char* name;
    std::vector<Polyline> loops;
    std::vector<FillRegion> expected;
  } table[] = {
      {"one outline", {square(0, 10)}, {{0, {}}}},
      {"hole listed first", {square(3, 7), square(0, 10)}, {{1, {0}}}},
      {"island in a hole", {square(0, 20), square(5, 15), square(8, 12)}, {{0, {1}}, {2, {}}}},
      {"two holes", {square(0, 20), {{1, 1}, {4, 1}, {4, 4}}, {{10, 10}, {15, 10}, {15, 15}}}, {{0, {1, 2}}}},
      {"side by side", {square(0, 1), {{5, 5}, {6, 5}, {6, 6}}}, {{0, {}}, {1, {}}}},
      {"hole of the smallest", {square(0, 30), square(2, 28), square(4, 26), square(6, 24)}, {{0, {1}}, {2, {3}}}},
      {"degenerate loops left out", {square(0, 10), {{1, 1}, {2, 2}}, {{std::numeric_limits<double>::quiet_NaN(), 1}, {2, 2}, {3, 1}}},
       {{0, {}}}},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    const auto regions = nestBoundaryLoops(row.loops);
    ASSERT_EQ(regions.size(), row.expected.size());
    for (std::size_t i = 0; i < regions.size(); ++i) {
      EXPECT_EQ(regions[i].outer, row.expected[i].outer);
      EXPECT_EQ(regions[i].holes, row.expected[i].holes);
    }
  }
}

// Thousands of nested rings: more containment work than a hatch may ask
// for gives no regions rather than minutes of work.
TEST(BoundaryLoops, hostileNestingGivesNoRegions) {
  std::vector<Polyline> rings;
  for (int i = 0; i < 3000; ++i) {
    Polyline ring;
    for (int k = 0; k < 100; ++k) {
      const double a = 2 * 3.141592653589793 * k / 100, r = 10000.0 - 3 * i;
      ring.push_back({r * std::cos(a), r * std::sin(a)});
    }
    rings.push_back(std::move(ring));
  }
  EXPECT_TRUE(nestBoundaryLoops(rings).empty());
  rings.resize(100);  // a hundred nested rings is an ordinary drawing
  const auto regions = nestBoundaryLoops(rings);
  ASSERT_EQ(regions.size(), 50u);
  EXPECT_EQ(regions[1].outer, 2);
  EXPECT_EQ(regions[1].holes, std::vector<int>{3});
}

}  // namespace
}  // namespace tavix::geometry
