#include "strokeText.h"

#include <cmath>
#include <numbers>

#include "textLayout.h"
#include "vectorMath.h"

namespace tavix::dxf::geometry {
namespace {

constexpr double DEGREE = std::numbers::pi / 180;
// Steeper slants than this fold the glyphs flat; the CAD host refuses them too.
constexpr double MAX_OBLIQUE_DEGREES = 85;

bool validSpec(const StrokeFont& font, const TextSpec& spec) {
  return isFinite(spec.insertion) && isFinite(spec.alignment) && std::isfinite(spec.height) &&
         spec.height > 0 && std::isfinite(spec.rotationDegrees) && std::isfinite(spec.widthFactor) &&
         spec.widthFactor > 0 && std::isfinite(spec.obliqueDegrees) &&
         std::fabs(spec.obliqueDegrees) <= MAX_OBLIQUE_DEGREES && font.capHeight > 0;
}

}  // namespace

std::optional<StrokedText> strokeText(const StrokeFont& font, const TextSpec& spec) {
  if (!validSpec(font, spec)) return std::nullopt;
  CharStyle style;
  style.height = spec.height;
  style.widthFactor = spec.widthFactor;
  style.slant = std::tan(spec.obliqueDegrees * DEGREE);
  StyledText plain;
  for (char32_t code : decodeUtf8(spec.text)) plain.push_back({code, style});
  StyledText decoded = decodePercentCodes(plain);

  double rotation = std::fmod(spec.rotationDegrees, 360.0) * DEGREE;
  Point anchor = spec.alignment;
  double naturalWidth = 0;
  for (const auto& [code, st] : decoded) naturalWidth += advanceOf(font, code, st);

  const HorizontalAlignment h = spec.horizontal;
  const VerticalAlignment v = spec.vertical;
  const Point span = spec.alignment - spec.insertion;
  const bool between = (h == HorizontalAlignment::Aligned || h == HorizontalAlignment::Fit) &&
                       length(span) > 0 && naturalWidth > 0;
  double shiftX = 0, shiftY = 0;
  if (between) {
    // The text runs from the insertion to the alignment point, whatever the
    // rotation says: aligned grows the whole text, fit only its width.
    rotation = std::atan2(span.y, span.x);
    anchor = spec.insertion;
    const double factor = length(span) / naturalWidth;
    for (auto& [code, st] : decoded) {
      if (h == HorizontalAlignment::Aligned) st.height *= factor;
      else st.widthFactor *= factor;
    }
  } else if (h == HorizontalAlignment::Left && v == VerticalAlignment::Baseline) {
    anchor = spec.insertion;
  } else if (h == HorizontalAlignment::Aligned || h == HorizontalAlignment::Fit) {
    anchor = spec.insertion;  // nothing to stretch between: drawn as left
  } else {
    const double descent = font.descent / font.capHeight * spec.height;
    if (h == HorizontalAlignment::Middle) {
      // The middle of the whole text, descenders included.
      shiftX = -naturalWidth / 2;
      shiftY = -(spec.height - descent) / 2;
    } else {
      shiftX = h == HorizontalAlignment::Center ? -naturalWidth / 2
               : h == HorizontalAlignment::Right ? -naturalWidth : 0;
      shiftY = v == VerticalAlignment::Bottom ? descent
               : v == VerticalAlignment::Middle ? -spec.height / 2
               : v == VerticalAlignment::Top ? -spec.height : 0;
    }
  }
  std::vector<PlacedChar> chars;
  chars.reserve(decoded.size());
  double x = shiftX;
  for (const auto& [code, st] : decoded) {
    chars.push_back({code, x, shiftY, st});
    x += advanceOf(font, code, st);
  }
  StrokedText out;
  drawChars(font, chars, anchor, rotation, out);
  for (const Polyline& stroke : out.strokes)
    if (!allFinite(stroke)) return std::nullopt;
  return out;
}

}  // namespace tavix::dxf::geometry
