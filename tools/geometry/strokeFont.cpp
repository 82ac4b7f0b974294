#include "strokeFont.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "strokeAlphabets.h"

extern "C" {
#include <hersheyfont.h>
}

namespace tavix::geometry {
namespace {

// A closed regular polygon approximating a circle, in font units.
Polyline ring(Point centre, double radius, int sides) {
  Polyline out;
  for (int i = 0; i <= sides; ++i) {
    const double a = 2 * std::numbers::pi * i / sides;
    out.push_back({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
  }
  return out;
}

// The symbols %%d, %%p and %%c stand for, sized like the font's capitals.
void addDrawingSymbols(StrokeFont& font) {
  const double cap = font.capHeight;
  font.glyphs[U'\u00B0'] = Glyph{cap * 0.55, {ring({cap * 0.25, cap * 0.85}, cap * 0.15, 12)}};
  if (auto plus = font.glyphs.find(U'+'); plus != font.glyphs.end()) {
    Glyph plusMinus = plus->second;
    double low = INFINITY, left = INFINITY, right = -INFINITY;
    for (const Polyline& stroke : plusMinus.strokes)
      for (const Point& p : stroke) {
        low = std::min(low, p.y);
        left = std::min(left, p.x);
        right = std::max(right, p.x);
      }
    if (std::isfinite(low)) {
      plusMinus.strokes.push_back({{left, low - cap * 0.15}, {right, low - cap * 0.15}});
      font.glyphs[U'\u00B1'] = plusMinus;
    }
  }
  const double r = cap * 0.35, cx = cap * 0.55, cy = cap * 0.5;
  font.glyphs[U'\u2300'] = Glyph{cap * 1.1, {ring({cx, cy}, r, 16),
                                            {{cx - r * 1.3, cy - r * 1.3}, {cx + r * 1.3, cy + r * 1.3}}}};
}

}  // namespace

const Glyph* StrokeFont::find(char32_t code) const {
  if (auto own = glyphs.find(code); own != glyphs.end()) return &own->second;
  if (!more || code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0xFFFD || code >= 0xF0000) return nullptr;
  auto known = fetched.find(code);
  if (known == fetched.end()) known = fetched.emplace(code, more->glyph(code, capHeight)).first;
  return known->second ? &*known->second : nullptr;
}

std::optional<std::map<char32_t, Glyph>> readJhfGlyphs(const std::string& jhfPath) {
  hershey_font* loaded = hershey_jhf_font_load(jhfPath.c_str());
  if (!loaded) return std::nullopt;
  std::map<char32_t, Glyph> glyphs;
  for (int c = 32; c < 127; ++c) {
    const hershey_glyph* g = hershey_font_glyph(loaded, static_cast<unsigned char>(c));
    if (!g || g->width == 0) continue;
    Glyph glyph{static_cast<double>(g->width), {}};
    for (const hershey_path* path = g->paths; path; path = path->next) {
      Polyline stroke;
      for (unsigned i = 0; i < path->nverts; ++i)
        stroke.push_back({static_cast<double>(path->verts[i].x), static_cast<double>(path->verts[i].y)});
      glyph.strokes.push_back(std::move(stroke));
    }
    glyphs[static_cast<char32_t>(c)] = std::move(glyph);
  }
  hershey_font_free(loaded);
  return glyphs;
}

std::optional<StrokeFont> loadStrokeFont(const std::string& jhfPath) {
  auto glyphs = readJhfGlyphs(jhfPath);
  if (!glyphs) return std::nullopt;
  StrokeFont font;
  font.glyphs = std::move(*glyphs);
  auto extent = [&](char32_t c, bool top) {
    double v = 0;
    if (auto g = font.glyphs.find(c); g != font.glyphs.end())
      for (const Polyline& s : g->second.strokes)
        for (const Point& p : s) v = top ? std::max(v, p.y) : std::min(v, p.y);
    return v;
  };
  font.capHeight = extent(U'H', true);
  if (!(font.capHeight > 0)) return std::nullopt;
  for (char32_t c : std::u32string(U"gjpqy")) font.descent = std::max(font.descent, -extent(c, false));
  addDrawingSymbols(font);
  const std::size_t slash = jhfPath.find_last_of('/');
  addAlphabets(font, slash == std::string::npos ? "." : jhfPath.substr(0, slash));
  return font;
}

}  // namespace tavix::geometry
