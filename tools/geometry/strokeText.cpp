#include "strokeText.h"

#include <cmath>
#include <numbers>

#include "textLayout.h"
#include "vectorMath.h"

namespace tavix::geometry {
namespace {

constexpr double DEGREE = std::numbers::pi / 180;
// Steeper slants than this fold the glyphs flat; the CAD host refuses them too.
constexpr double MAX_OBLIQUE_DEGREES = 85;

bool validStyle(const StrokeFont& font, const TextStyle& textStyle) {
  return isFinite(textStyle.insertion) && isFinite(textStyle.alignment) && std::isfinite(textStyle.height) &&
         textStyle.height > 0 && std::isfinite(textStyle.rotationDegrees) && std::isfinite(textStyle.widthFactor) &&
         textStyle.widthFactor > 0 && std::isfinite(textStyle.obliqueDegrees) &&
         std::fabs(textStyle.obliqueDegrees) <= MAX_OBLIQUE_DEGREES && font.capHeight > 0;
}

}  // namespace

std::optional<StrokedText> strokeText(const StrokeFont& font, const TextStyle& textStyle) {
  if (!validStyle(font, textStyle)) return std::nullopt;
  CharStyle style;
  style.height = textStyle.height;
  style.widthFactor = textStyle.widthFactor;
  style.slant = std::tan(textStyle.obliqueDegrees * DEGREE);
  StyledText plain;
  for (char32_t code : decodeUtf8(textStyle.text)) plain.push_back({code, style});
  StyledText decoded = decodePercentCodes(plain);

  double rotation = std::fmod(textStyle.rotationDegrees, 360.0) * DEGREE;
  Point anchor = textStyle.alignment;
  // Each character's advance, with the kerning of the pair it ends.
  std::vector<double> advances;
  advances.reserve(decoded.size());
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    const auto& [code, st] = decoded[i];
    const double kern = i + 1 < decoded.size() ? kerningOf(font, code, decoded[i + 1].first, st) : 0;
    advances.push_back(advanceOf(font, code, st) + kern);
  }
  double naturalWidth = 0;
  for (double advance : advances) naturalWidth += advance;

  const HorizontalAlignment h = textStyle.horizontal;
  const VerticalAlignment v = textStyle.vertical;
  const Point span = textStyle.alignment - textStyle.insertion;
  const bool between = (h == HorizontalAlignment::Aligned || h == HorizontalAlignment::Fit) &&
                       length(span) > 0 && naturalWidth > 0;
  double shiftX = 0, shiftY = 0;
  if (between) {
    // The text runs from the insertion to the alignment point, whatever the
    // rotation says: aligned grows the whole text, fit only its width.
    rotation = std::atan2(span.y, span.x);
    anchor = textStyle.insertion;
    const double factor = length(span) / naturalWidth;
    for (auto& [code, st] : decoded) {
      if (h == HorizontalAlignment::Aligned) st.height *= factor;
      else st.widthFactor *= factor;
    }
    for (double& advance : advances) advance *= factor;
  } else if (h == HorizontalAlignment::Left && v == VerticalAlignment::Baseline) {
    anchor = textStyle.insertion;
  } else if (h == HorizontalAlignment::Aligned || h == HorizontalAlignment::Fit) {
    anchor = textStyle.insertion;  // nothing to stretch between: drawn as left
  } else {
    const double descent = font.descent / font.capHeight * textStyle.height;
    if (h == HorizontalAlignment::Middle) {
      // The middle of the whole text, descenders included.
      shiftX = -naturalWidth / 2;
      shiftY = -(textStyle.height - descent) / 2;
    } else {
      shiftX = h == HorizontalAlignment::Center ? -naturalWidth / 2
               : h == HorizontalAlignment::Right ? -naturalWidth : 0;
      shiftY = v == VerticalAlignment::Bottom ? descent
               : v == VerticalAlignment::Middle ? -textStyle.height / 2
               : v == VerticalAlignment::Top ? -textStyle.height : 0;
    }
  }
  std::vector<PlacedChar> chars;
  chars.reserve(decoded.size());
  double x = shiftX;
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    chars.push_back({decoded[i].first, x, shiftY, decoded[i].second});
    x += advances[i];
  }
  StrokedText out;
  drawChars(font, chars, anchor, rotation, out);
  for (const Polyline& stroke : out.strokes)
    if (!allFinite(stroke)) return std::nullopt;
  for (const TextFill& fill : out.fills)
    for (const Polyline& outline : fill.outlines)
      if (!allFinite(outline)) return std::nullopt;
  return out;
}

}  // namespace tavix::geometry
