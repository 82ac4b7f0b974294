#include "textLayout.h"

#include <cmath>

#include "vectorMath.h"

namespace tavix::geometry {
namespace {

// The box drawn for a missing glyph, in capitals: 0.15 to 0.75 wide, the
// full capital height, and an advance of 0.9.
constexpr double BOX_LEFT = 0.15, BOX_RIGHT = 0.75, BOX_ADVANCE = 0.9;
// Decoration heights in capitals: below the baseline, above the capitals,
// and through the middle.
constexpr double UNDERLINE_AT = -0.25, OVERLINE_AT = 1.25, STRIKE_AT = 0.5;

constexpr char32_t REPLACEMENT = 0xFFFD;

}  // namespace

std::u32string decodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    char32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    bool good = extra >= 0 && i + extra < text.size();
    for (int k = 1; good && k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      good = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are malformed.
    static constexpr char32_t SMALLEST[] = {0, 0x80, 0x800, 0x10000};
    good = good && code >= SMALLEST[extra] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    out.push_back(good ? code : REPLACEMENT);
    i += good ? extra + 1 : 1;
  }
  return out;
}

StyledText decodePercentCodes(const StyledText& text) {
  StyledText out;
  bool underline = false, overline = false;  // switched by %%u and %%o
  auto emit = [&](char32_t code, CharStyle style) {
    style.underline = style.underline != underline;
    style.overline = style.overline != overline;
    out.push_back({code, style});
  };
  auto digit = [&](std::size_t k) { return k < text.size() && text[k].first >= U'0' && text[k].first <= U'9'; };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i].first == U'%' && i + 2 < text.size() && text[i + 1].first == U'%') {
      const char32_t c = text[i + 2].first;
      char32_t symbol = 0;
      switch (c) {
        case U'd': case U'D': symbol = 0x00B0; break;
        case U'p': case U'P': symbol = 0x00B1; break;
        case U'c': case U'C': symbol = 0x2300; break;
        case U'%': symbol = U'%'; break;
        case U'u': case U'U': underline = !underline; i += 2; continue;
        case U'o': case U'O': overline = !overline; i += 2; continue;
        default: break;
      }
      if (symbol) {
        emit(symbol, text[i].second);
        i += 2;
        continue;
      }
      if (digit(i + 2) && digit(i + 3) && digit(i + 4)) {
        emit((c - U'0') * 100 + (text[i + 3].first - U'0') * 10 + (text[i + 4].first - U'0'), text[i].second);
        i += 4;
        continue;
      }
    }
    emit(text[i].first, text[i].second);
  }
  return out;
}

double advanceOf(const StrokeFont& textFont, char32_t code, const CharStyle& style) {
  const StrokeFont& font = fontOf(textFont, style);
  const double scale = style.height / font.capHeight;
  const Glyph* glyph = font.find(code);
  const double advance = glyph != nullptr ? glyph->advance : BOX_ADVANCE * font.capHeight;
  return advance * scale * style.widthFactor * style.tracking;
}

double kerningOf(const StrokeFont& textFont, char32_t left, char32_t right, const CharStyle& style) {
  const StrokeFont& font = fontOf(textFont, style);
  return font.kerning(left, right) * style.height / font.capHeight * style.widthFactor;
}

void drawChars(const StrokeFont& textFont, const std::vector<PlacedChar>& chars, Point anchor,
               double rotationRadians, StrokedText& out) {
  const double c = std::cos(rotationRadians), s = std::sin(rotationRadians);
  auto place = [&](double x, double y) { return Point{anchor.x + x * c - y * s, anchor.y + x * s + y * c}; };
  // The decoration drawn last of each kind, to extend while characters follow.
  struct Open {
    long stroke = -1;
    double endX = 0, y = 0;
  } open[3];
  for (const PlacedChar& ch : chars) {
    const CharStyle& st = ch.style;
    const StrokeFont& font = fontOf(textFont, st);
    const double sy = st.height / font.capHeight, sx = sy * st.widthFactor;
    auto local = [&](Point p) { return place(ch.x + p.x * sx + p.y * sy * st.slant, ch.baseline + p.y * sy); };
    const Glyph* glyph = font.find(ch.code);
    if (glyph != nullptr && glyph->filled) {
      TextFill fill{{}, st.colour};
      for (const Polyline& outline : glyph->strokes) {
        Polyline placed;
        placed.reserve(outline.size());
        for (const Point& p : outline) placed.push_back(local(p));
        fill.outlines.push_back(std::move(placed));
      }
      if (!fill.outlines.empty()) out.fills.push_back(std::move(fill));
    } else if (glyph != nullptr) {
      for (const Polyline& stroke : glyph->strokes) {
        Polyline placed;
        placed.reserve(stroke.size());
        for (const Point& p : stroke) placed.push_back(local(p));
        out.strokes.push_back(std::move(placed));
        out.colours.push_back(st.colour);
      }
    } else {
      const double cap = font.capHeight;
      const double l = BOX_LEFT * cap, r = BOX_RIGHT * cap;
      out.strokes.push_back({local({l, 0}), local({r, 0}), local({r, cap}), local({l, cap}), local({l, 0})});
      out.colours.push_back(st.colour);
      ++out.missingGlyphs;
    }
    const double advance = advanceOf(font, ch.code, st);
    const bool wanted[3] = {st.underline, st.overline, st.strike};
    const double at[3] = {UNDERLINE_AT, OVERLINE_AT, STRIKE_AT};
    for (int k = 0; k < 3; ++k) {
      if (!wanted[k]) {
        open[k].stroke = -1;
        continue;
      }
      const double y = ch.baseline + at[k] * st.height;
      if (open[k].stroke >= 0 && std::fabs(open[k].endX - ch.x) < 1e-9 * (1 + std::fabs(ch.x)) &&
          open[k].y == y && out.colours[open[k].stroke] == st.colour) {
        out.strokes[open[k].stroke].back() = place(ch.x + advance, y);
      } else {
        open[k].stroke = static_cast<long>(out.strokes.size());
        out.strokes.push_back({place(ch.x, y), place(ch.x + advance, y)});
        out.colours.push_back(st.colour);
      }
      open[k].endX = ch.x + advance;
      open[k].y = y;
    }
  }
}

}  // namespace tavix::geometry
