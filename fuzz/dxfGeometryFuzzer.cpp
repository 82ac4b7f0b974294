// The DXF geometry helpers on arbitrary numbers and text: each answers
// nothing or finite points, within its stated size bounds, and returns.
// The first byte picks the helper; the numbers are taken eight bytes at a
// time (host order: these are fuzz inputs, not a stored format).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "geometry/arc.h"
#include "geometry/boundaryLoops.h"
#include "geometry/chordCount.h"
#include "geometry/ellipse.h"
#include "geometry/hatchPattern.h"
#include "geometry/linetype.h"
#include "geometry/mtext.h"
#include "geometry/spline.h"
#include "geometry/strokeText.h"
#include "geometry/widthOutline.h"

namespace {

using namespace tavix::geometry;

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  double number() {
    double v = 0;
    if (at_ + sizeof v <= size_) std::memcpy(&v, data_ + at_, sizeof v);
    at_ += sizeof v;
    return v;
  }
  Point point() { return {number(), number()}; }
  std::string rest() { return at_ < size_ ? std::string(reinterpret_cast<const char*>(data_ + at_), size_ - at_) : ""; }

 private:
  const uint8_t* data_;
  size_t size_, at_ = 0;
};

void checkPoints(const Polyline& line, std::size_t most) {
  if (line.size() > most) std::abort();
  for (const Point& p : line)
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) std::abort();
}

void checkCurve(const std::optional<Polyline>& curve, std::size_t most) {
  if (curve) checkPoints(*curve, most);
}

void checkText(const std::optional<StrokedText>& text) {
  if (!text) return;
  for (const Polyline& s : text->strokes) checkPoints(s, 1 << 20);
  if (text->missingGlyphs < 0) std::abort();
}

Polyline polyline(Input& in, int count) {
  Polyline out;
  for (int i = 0; i < count; ++i) out.push_back(in.point());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const StrokeFont font = loadStrokeFont().value();
  Input in(data, size);
  const std::size_t curveMost = MAX_CHORDS_PER_CURVE + 1;
  switch (in.byte() % 8) {
    case 0: {
      const Point c = in.point();
      const double r = in.number(), s = in.number(), e = in.number(), tol = in.number();
      checkCurve(flattenArc(c, r, s, e, tol), curveMost);
      break;
    }
    case 1: {
      const Point a = in.point(), b = in.point();
      const double bulge = in.number(), tol = in.number();
      const auto arc = flattenBulge(a, b, bulge, tol);
      checkCurve(arc, curveMost);
      if (arc && (arc->front().x != a.x || arc->back().y != b.y)) std::abort();
      // The same segment with widths that change along it.
      const double startWidth = in.number(), endWidth = in.number();
      checkCurve(widthOutline(a, b, bulge, startWidth, endWidth, tol), 2 * curveMost + 4);
      break;
    }
    case 2: {
      const Point c = in.point(), axis = in.point();
      const double ratio = in.number(), s = in.number(), e = in.number(), tol = in.number();
      checkCurve(flattenEllipse(c, axis, ratio, s, e, tol), curveMost);
      break;
    }
    case 3: {
      Spline spline;
      spline.degree = in.byte() % 8;
      spline.closed = in.byte() & 1;
      const int points = in.byte() % 24, knots = in.byte() % 32, weights = in.byte() % 24, fit = in.byte() % 24;
      spline.controlPoints = polyline(in, points);
      for (int i = 0; i < knots; ++i) spline.knots.push_back(in.number());
      for (int i = 0; i < weights; ++i) spline.weights.push_back(in.number());
      spline.fitPoints = polyline(in, fit);
      if (in.byte() & 1) spline.startTangent = in.point();
      if (in.byte() & 1) spline.endTangent = in.point();
      const std::size_t spans = spline.knots.size() + spline.controlPoints.size() + spline.fitPoints.size() + 8;
      checkCurve(flattenSpline(spline, in.number()), 4 * MAX_CHORDS_PER_CURVE + spans + 32);
      break;
    }
    case 4: {
      const int points = in.byte() % 16, elements = in.byte() % 8;
      const Polyline line = polyline(in, points);
      std::vector<double> pattern;
      for (int i = 0; i < elements; ++i) pattern.push_back(in.number());
      const double scale = in.number();
      const auto dashes = applyLinetype(line, pattern, scale);
      if (static_cast<long long>(dashes.size()) > MAX_DASHES_PER_POLYLINE + 1) std::abort();
      for (const Polyline& d : dashes) checkPoints(d, 1 << 24);
      break;
    }
    case 5: {
      std::vector<PatternLine> pattern(in.byte() % 3);
      for (PatternLine& p : pattern) {
        p.angleDegrees = in.number();
        p.basePoint = in.point();
        p.offset = in.point();
        for (int i = in.byte() % 5; i > 0; --i) p.dashes.push_back(in.number());
      }
      const double scale = in.number(), angle = in.number();
      std::vector<Polyline> loops(in.byte() % 4);
      for (Polyline& loop : loops) loop = polyline(in, in.byte() % 12);
      const auto segments = hatchPatternSegments(pattern, scale, angle, loops);
      if (segments) {
        if (static_cast<long long>(segments->size()) > MAX_HATCH_SEGMENTS + 64) std::abort();
        for (const Segment& s : *segments) checkPoints({s.a, s.b}, 2);
      }
      for (const FillRegion& r : nestBoundaryLoops(loops))
        if (r.outer < 0 || r.outer >= static_cast<int>(loops.size())) std::abort();
      break;
    }
    case 6: {
      TextStyle textStyle;
      textStyle.insertion = in.point();
      textStyle.alignment = in.point();
      textStyle.height = in.number();
      textStyle.rotationDegrees = in.number();
      textStyle.widthFactor = in.number();
      textStyle.obliqueDegrees = in.number();
      textStyle.horizontal = static_cast<HorizontalAlignment>(in.byte() % 6);
      textStyle.vertical = static_cast<VerticalAlignment>(in.byte() % 4);
      textStyle.text = in.rest();
      checkText(strokeText(font, textStyle));
      break;
    }
    default: {
      MTextStyle textStyle;
      textStyle.insertion = in.point();
      textStyle.height = in.number();
      textStyle.rotationDegrees = in.number();
      textStyle.referenceWidth = in.number();
      textStyle.lineSpacingFactor = in.number();
      textStyle.attachment = static_cast<Attachment>(in.byte() % 11);
      textStyle.text = in.rest();
      checkText(strokeMText(font, textStyle));
      break;
    }
  }
  return 0;
}
