// MTEXT stacked text (\S...;): "a/b" numerator over denominator with a bar
// between, "a^b" one over the other without a bar (superscript with an
// empty b, subscript with an empty a), "a#b" beside each other across a
// slash; the parts smaller than the text.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/mtext.h"
#include "strokeFixture.h"

namespace tavix::geometry {
namespace {

constexpr double HEIGHT = 10;

struct Extent {
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  void add(const Polyline& s) {
    for (const Point& p : s)
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  double height() const { return maxY - minY; }
};

class MTextStack : public test::StrokeFontTest {
 protected:
  // Bottom-left attachment: the last line's baseline is y = 0.
  static StrokedText stroke(const std::string& text) {
    MTextStyle textStyle{text, {0, 0}, HEIGHT, 0, 0, Attachment::BottomLeft, 1};
    auto out = strokeMText(font(), textStyle);
    EXPECT_TRUE(out.has_value()) << text;
    return out.value_or(StrokedText{});
  }
  static bool horizontal(const Polyline& s) { return s.size() == 2 && s[0].y == s[1].y && s[0].x != s[1].x; }
};

TEST_F(MTextStack, fractionIsNumeratorOverBarOverDenominator) {
  StrokedText t = stroke("\\S12/3;");
  ASSERT_EQ(0, t.missingGlyphs);
  // The bar: the one horizontal two-point stroke, everything else clear of it.
  const Polyline* bar = nullptr;
  for (const Polyline& s : t.strokes)
    if (horizontal(s)) bar = &s;
  ASSERT_NE(nullptr, bar);
  const double y = (*bar)[0].y;
  EXPECT_GT(y, 0);
  EXPECT_LT(y, HEIGHT);
  Extent above, below;
  for (const Polyline& s : t.strokes) {
    if (&s == bar) continue;
    Extent b;
    b.add(s);
    ASSERT_TRUE(b.minY > y || b.maxY < y) << "a stroke crosses the bar";
    (b.minY > y ? above : below).add(s);
  }
  // Smaller than the text, and centred over one another and the bar.
  EXPECT_LT(above.height(), 0.8 * HEIGHT);
  EXPECT_LT(below.height(), 0.8 * HEIGHT);
  EXPECT_GT(above.height(), 0.4 * HEIGHT);
  const double barMiddle = ((*bar)[0].x + (*bar)[1].x) / 2;
  EXPECT_NEAR((below.minX + below.maxX) / 2, barMiddle, 0.15 * HEIGHT);
  EXPECT_NEAR((above.minX + above.maxX) / 2, barMiddle, 0.15 * HEIGHT);
  // The bar spans the wider part, the numerator "12".
  EXPECT_GE(std::fabs((*bar)[1].x - (*bar)[0].x), above.maxX - above.minX);
}

TEST_F(MTextStack, caretStacksWithoutABarAndGivesSuperAndSubscripts) {
  StrokedText t = stroke("\\S1^2;");
  for (const Polyline& s : t.strokes) EXPECT_FALSE(horizontal(s) && std::fabs(s[1].x - s[0].x) > 0.9 * HEIGHT);

  // "H" then a superscript and a subscript "1": after the H, raised and lowered.
  Extent h;
  for (const Polyline& s : stroke("H").strokes) h.add(s);
  for (auto [text, up] : {std::pair{"H\\S1^;", true}, {"H\\S^1;", false}, {"H\\S^ 1;", false}}) {
    SCOPED_TRACE(text);
    StrokedText both = stroke(text);
    Extent extra;
    for (std::size_t i = stroke("H").strokes.size(); i < both.strokes.size(); ++i) extra.add(both.strokes[i]);
    ASSERT_TRUE(std::isfinite(extra.minX));
    EXPECT_GE(extra.minX, h.maxX);
    EXPECT_LT(extra.height(), 0.8 * HEIGHT);
    if (up) EXPECT_GT(extra.minY, h.minY + HEIGHT / 3);
    else EXPECT_LT(extra.minY, h.minY - HEIGHT / 10);
  }
}

TEST_F(MTextStack, hashSetsTheFractionDiagonally) {
  StrokedText t = stroke("\\S1#2;");
  ASSERT_EQ(0, t.missingGlyphs);
  // "1" first, up to the left; "/" across; "2" last, down to the right.
  Extent first, last;
  first.add(t.strokes.front());
  last.add(t.strokes.back());
  EXPECT_LT(first.maxX, last.minX);
  EXPECT_GT(first.minY, last.minY);
  EXPECT_LT(first.height(), 0.8 * HEIGHT);
  EXPECT_LT(last.height(), 0.8 * HEIGHT);
}

}  // namespace
}  // namespace tavix::geometry
