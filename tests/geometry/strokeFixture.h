#pragma once
// The stroke font loaded once for a suite, and the extent of drawn text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geometry/strokeFont.h"
#include "geometry/strokeText.h"

namespace tavix::geometry::test {

class StrokeFontTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto loaded = loadStrokeFont();
    ASSERT_TRUE(loaded.has_value()) << "the font " << DEFAULT_STROKE_FONT << " does not load";
    font_ = new StrokeFont(*loaded);
  }
  static void TearDownTestSuite() {
    delete font_;
    font_ = nullptr;
  }
  static const StrokeFont& font() { return *font_; }

  struct Box {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  };
  static Box bounds(const StrokedText& text) {
    Box b;
    for (const Polyline& s : text.strokes)
      for (const Point& p : s) {
        b.minX = std::min(b.minX, p.x), b.maxX = std::max(b.maxX, p.x);
        b.minY = std::min(b.minY, p.y), b.maxY = std::max(b.maxY, p.y);
      }
    return b;
  }

 private:
  static inline StrokeFont* font_ = nullptr;
};

}  // namespace tavix::geometry::test
