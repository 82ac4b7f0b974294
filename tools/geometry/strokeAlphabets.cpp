#include "strokeAlphabets.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

namespace tavix::geometry {
namespace {

struct Box {
  double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
};

Box boxOf(const Glyph& g) {
  Box b;
  for (const Polyline& s : g.strokes)
    for (const Point& p : s) {
      b.left = std::min(b.left, p.x), b.right = std::max(b.right, p.x);
      b.bottom = std::min(b.bottom, p.y), b.top = std::max(b.top, p.y);
    }
  return b;
}

// The glyphs of a Hershey alphabet file by the ASCII position that holds
// them, scaled so that the capital at `capital` is `capHeight` high.
std::optional<std::map<char32_t, Glyph>> readAlphabet(const std::string& path, char capital, double capHeight) {
  auto out = readJhfGlyphs(path);
  if (!out) return std::nullopt;
  const auto reference = out->find(static_cast<char32_t>(capital));
  if (reference == out->end()) return std::nullopt;
  const double top = boxOf(reference->second).top;
  if (!(top > 0)) return std::nullopt;
  const double scale = capHeight / top;
  for (auto& [c, glyph] : *out) {
    glyph.advance *= scale;
    for (Polyline& s : glyph.strokes)
      for (Point& p : s) p = {p.x * scale, p.y * scale};
  }
  return out;
}

// Where the Hershey Greek set (greek.jhf) keeps each letter.
constexpr std::pair<char, char32_t> GREEK[] = {
    {'A', 0x391}, {'B', 0x392}, {'G', 0x393}, {'D', 0x394}, {'E', 0x395}, {'Z', 0x396}, {'H', 0x397},
    {'Q', 0x398}, {'I', 0x399}, {'K', 0x39A}, {'L', 0x39B}, {'M', 0x39C}, {'N', 0x39D}, {'X', 0x39E},
    {'O', 0x39F}, {'P', 0x3A0}, {'R', 0x3A1}, {'S', 0x3A3}, {'T', 0x3A4}, {'U', 0x3A5}, {'F', 0x3A6},
    {'C', 0x3A7}, {'Y', 0x3A8}, {'W', 0x3A9}, {'a', 0x3B1}, {'b', 0x3B2}, {'g', 0x3B3}, {'d', 0x3B4},
    {'e', 0x3B5}, {'z', 0x3B6}, {'h', 0x3B7}, {'q', 0x3B8}, {'i', 0x3B9}, {'k', 0x3BA}, {'l', 0x3BB},
    {'m', 0x3BC}, {'n', 0x3BD}, {'x', 0x3BE}, {'o', 0x3BF}, {'p', 0x3C0}, {'r', 0x3C1}, {'s', 0x3C3},
    {'t', 0x3C4}, {'u', 0x3C5}, {'f', 0x3C6}, {'c', 0x3C7}, {'y', 0x3C8}, {'w', 0x3C9},
    // Signs the set holds too: micro (the Greek mu), times and divided by.
    {'m', 0xB5}, {'j', 0xD7}, {'v', 0xF7},
};

// Where the Hershey Cyrillic set (cyrillic.jhf) keeps each letter.
constexpr std::pair<char, char32_t> CYRILLIC[] = {
    {'A', 0x410}, {'B', 0x411}, {'V', 0x412}, {'G', 0x413}, {'D', 0x414}, {'[', 0x415}, {'H', 0x416},
    {'Z', 0x417}, {'I', 0x418}, {'E', 0x419}, {'K', 0x41A}, {'L', 0x41B}, {'M', 0x41C}, {'N', 0x41D},
    {'O', 0x41E}, {'P', 0x41F}, {'R', 0x420}, {'S', 0x421}, {'T', 0x422}, {'Y', 0x423}, {'F', 0x424},
    {'X', 0x425}, {'`', 0x426}, {'J', 0x427}, {'Q', 0x428}, {'W', 0x429}, {']', 0x42A}, {'$', 0x42B},
    {'_', 0x42C}, {'C', 0x42D}, {'U', 0x42E}, {'^', 0x42F}, {'a', 0x430}, {'b', 0x431}, {'v', 0x432},
    {'g', 0x433}, {'d', 0x434}, {'{', 0x435}, {'h', 0x436}, {'z', 0x437}, {'i', 0x438}, {'e', 0x439},
    {'k', 0x43A}, {'l', 0x43B}, {'m', 0x43C}, {'n', 0x43D}, {'o', 0x43E}, {'p', 0x43F}, {'r', 0x440},
    {'s', 0x441}, {'t', 0x442}, {'y', 0x443}, {'f', 0x444}, {'x', 0x445}, {'%', 0x446}, {'j', 0x447},
    {'q', 0x448}, {'w', 0x449}, {'|', 0x44A}, {'&', 0x44B}, {'~', 0x44C}, {'c', 0x44D}, {'u', 0x44E},
    {'}', 0x44F},
};

// Cyrillic letters that are Latin ones in shape.
constexpr std::pair<char32_t, char32_t> SAME_AS_LATIN[] = {
    {0x405, U'S'}, {0x406, U'I'}, {0x408, U'J'}, {0x455, U's'}, {0x456, U'i'}, {0x458, U'j'},
};

enum class Mark { Grave, Acute, Circumflex, Tilde, Macron, Breve, DotAbove, Diaeresis, Ring, DoubleAcute, Caron,
                  Cedilla, Ogonek };

struct Composition {
  char32_t code, base;
  Mark mark;
};

// The canonical decompositions of Unicode into a letter and one mark, for
// Latin-1, Latin Extended-A and Cyrillic (from Python's unicodedata).
constexpr Composition COMPOSED[] = {
    {0x00C0, 0x0041, Mark::Grave}, {0x00C1, 0x0041, Mark::Acute}, {0x00C2, 0x0041, Mark::Circumflex},
    {0x00C3, 0x0041, Mark::Tilde}, {0x00C4, 0x0041, Mark::Diaeresis}, {0x00C5, 0x0041, Mark::Ring},
    {0x00C7, 0x0043, Mark::Cedilla}, {0x00C8, 0x0045, Mark::Grave}, {0x00C9, 0x0045, Mark::Acute},
    {0x00CA, 0x0045, Mark::Circumflex}, {0x00CB, 0x0045, Mark::Diaeresis}, {0x00CC, 0x0049, Mark::Grave},
    {0x00CD, 0x0049, Mark::Acute}, {0x00CE, 0x0049, Mark::Circumflex}, {0x00CF, 0x0049, Mark::Diaeresis},
    {0x00D1, 0x004E, Mark::Tilde}, {0x00D2, 0x004F, Mark::Grave}, {0x00D3, 0x004F, Mark::Acute},
    {0x00D4, 0x004F, Mark::Circumflex}, {0x00D5, 0x004F, Mark::Tilde}, {0x00D6, 0x004F, Mark::Diaeresis},
    {0x00D9, 0x0055, Mark::Grave}, {0x00DA, 0x0055, Mark::Acute}, {0x00DB, 0x0055, Mark::Circumflex},
    {0x00DC, 0x0055, Mark::Diaeresis}, {0x00DD, 0x0059, Mark::Acute}, {0x00E0, 0x0061, Mark::Grave},
    {0x00E1, 0x0061, Mark::Acute}, {0x00E2, 0x0061, Mark::Circumflex}, {0x00E3, 0x0061, Mark::Tilde},
    {0x00E4, 0x0061, Mark::Diaeresis}, {0x00E5, 0x0061, Mark::Ring}, {0x00E7, 0x0063, Mark::Cedilla},
    {0x00E8, 0x0065, Mark::Grave}, {0x00E9, 0x0065, Mark::Acute}, {0x00EA, 0x0065, Mark::Circumflex},
    {0x00EB, 0x0065, Mark::Diaeresis}, {0x00EC, 0x0069, Mark::Grave}, {0x00ED, 0x0069, Mark::Acute},
    {0x00EE, 0x0069, Mark::Circumflex}, {0x00EF, 0x0069, Mark::Diaeresis}, {0x00F1, 0x006E, Mark::Tilde},
    {0x00F2, 0x006F, Mark::Grave}, {0x00F3, 0x006F, Mark::Acute}, {0x00F4, 0x006F, Mark::Circumflex},
    {0x00F5, 0x006F, Mark::Tilde}, {0x00F6, 0x006F, Mark::Diaeresis}, {0x00F9, 0x0075, Mark::Grave},
    {0x00FA, 0x0075, Mark::Acute}, {0x00FB, 0x0075, Mark::Circumflex}, {0x00FC, 0x0075, Mark::Diaeresis},
    {0x00FD, 0x0079, Mark::Acute}, {0x00FF, 0x0079, Mark::Diaeresis}, {0x0100, 0x0041, Mark::Macron},
    {0x0101, 0x0061, Mark::Macron}, {0x0102, 0x0041, Mark::Breve}, {0x0103, 0x0061, Mark::Breve},
    {0x0104, 0x0041, Mark::Ogonek}, {0x0105, 0x0061, Mark::Ogonek}, {0x0106, 0x0043, Mark::Acute},
    {0x0107, 0x0063, Mark::Acute}, {0x0108, 0x0043, Mark::Circumflex}, {0x0109, 0x0063, Mark::Circumflex},
    {0x010A, 0x0043, Mark::DotAbove}, {0x010B, 0x0063, Mark::DotAbove}, {0x010C, 0x0043, Mark::Caron},
    {0x010D, 0x0063, Mark::Caron}, {0x010E, 0x0044, Mark::Caron}, {0x010F, 0x0064, Mark::Caron},
    {0x0112, 0x0045, Mark::Macron}, {0x0113, 0x0065, Mark::Macron}, {0x0114, 0x0045, Mark::Breve},
    {0x0115, 0x0065, Mark::Breve}, {0x0116, 0x0045, Mark::DotAbove}, {0x0117, 0x0065, Mark::DotAbove},
    {0x0118, 0x0045, Mark::Ogonek}, {0x0119, 0x0065, Mark::Ogonek}, {0x011A, 0x0045, Mark::Caron},
    {0x011B, 0x0065, Mark::Caron}, {0x011C, 0x0047, Mark::Circumflex}, {0x011D, 0x0067, Mark::Circumflex},
    {0x011E, 0x0047, Mark::Breve}, {0x011F, 0x0067, Mark::Breve}, {0x0120, 0x0047, Mark::DotAbove},
    {0x0121, 0x0067, Mark::DotAbove}, {0x0122, 0x0047, Mark::Cedilla}, {0x0123, 0x0067, Mark::Cedilla},
    {0x0124, 0x0048, Mark::Circumflex}, {0x0125, 0x0068, Mark::Circumflex}, {0x0128, 0x0049, Mark::Tilde},
    {0x0129, 0x0069, Mark::Tilde}, {0x012A, 0x0049, Mark::Macron}, {0x012B, 0x0069, Mark::Macron},
    {0x012C, 0x0049, Mark::Breve}, {0x012D, 0x0069, Mark::Breve}, {0x012E, 0x0049, Mark::Ogonek},
    {0x012F, 0x0069, Mark::Ogonek}, {0x0130, 0x0049, Mark::DotAbove}, {0x0134, 0x004A, Mark::Circumflex},
    {0x0135, 0x006A, Mark::Circumflex}, {0x0136, 0x004B, Mark::Cedilla}, {0x0137, 0x006B, Mark::Cedilla},
    {0x0139, 0x004C, Mark::Acute}, {0x013A, 0x006C, Mark::Acute}, {0x013B, 0x004C, Mark::Cedilla},
    {0x013C, 0x006C, Mark::Cedilla}, {0x013D, 0x004C, Mark::Caron}, {0x013E, 0x006C, Mark::Caron},
    {0x0143, 0x004E, Mark::Acute}, {0x0144, 0x006E, Mark::Acute}, {0x0145, 0x004E, Mark::Cedilla},
    {0x0146, 0x006E, Mark::Cedilla}, {0x0147, 0x004E, Mark::Caron}, {0x0148, 0x006E, Mark::Caron},
    {0x014C, 0x004F, Mark::Macron}, {0x014D, 0x006F, Mark::Macron}, {0x014E, 0x004F, Mark::Breve},
    {0x014F, 0x006F, Mark::Breve}, {0x0150, 0x004F, Mark::DoubleAcute}, {0x0151, 0x006F, Mark::DoubleAcute},
    {0x0154, 0x0052, Mark::Acute}, {0x0155, 0x0072, Mark::Acute}, {0x0156, 0x0052, Mark::Cedilla},
    {0x0157, 0x0072, Mark::Cedilla}, {0x0158, 0x0052, Mark::Caron}, {0x0159, 0x0072, Mark::Caron},
    {0x015A, 0x0053, Mark::Acute}, {0x015B, 0x0073, Mark::Acute}, {0x015C, 0x0053, Mark::Circumflex},
    {0x015D, 0x0073, Mark::Circumflex}, {0x015E, 0x0053, Mark::Cedilla}, {0x015F, 0x0073, Mark::Cedilla},
    {0x0160, 0x0053, Mark::Caron}, {0x0161, 0x0073, Mark::Caron}, {0x0162, 0x0054, Mark::Cedilla},
    {0x0163, 0x0074, Mark::Cedilla}, {0x0164, 0x0054, Mark::Caron}, {0x0165, 0x0074, Mark::Caron},
    {0x0168, 0x0055, Mark::Tilde}, {0x0169, 0x0075, Mark::Tilde}, {0x016A, 0x0055, Mark::Macron},
    {0x016B, 0x0075, Mark::Macron}, {0x016C, 0x0055, Mark::Breve}, {0x016D, 0x0075, Mark::Breve},
    {0x016E, 0x0055, Mark::Ring}, {0x016F, 0x0075, Mark::Ring}, {0x0170, 0x0055, Mark::DoubleAcute},
    {0x0171, 0x0075, Mark::DoubleAcute}, {0x0172, 0x0055, Mark::Ogonek}, {0x0173, 0x0075, Mark::Ogonek},
    {0x0174, 0x0057, Mark::Circumflex}, {0x0175, 0x0077, Mark::Circumflex}, {0x0176, 0x0059, Mark::Circumflex},
    {0x0177, 0x0079, Mark::Circumflex}, {0x0178, 0x0059, Mark::Diaeresis}, {0x0179, 0x005A, Mark::Acute},
    {0x017A, 0x007A, Mark::Acute}, {0x017B, 0x005A, Mark::DotAbove}, {0x017C, 0x007A, Mark::DotAbove},
    {0x017D, 0x005A, Mark::Caron}, {0x017E, 0x007A, Mark::Caron}, {0x0400, 0x0415, Mark::Grave},
    {0x0401, 0x0415, Mark::Diaeresis}, {0x0403, 0x0413, Mark::Acute}, {0x0407, 0x0406, Mark::Diaeresis},
    {0x040C, 0x041A, Mark::Acute}, {0x040D, 0x0418, Mark::Grave}, {0x040E, 0x0423, Mark::Breve},
    {0x0419, 0x0418, Mark::Breve}, {0x0439, 0x0438, Mark::Breve}, {0x0450, 0x0435, Mark::Grave},
    {0x0451, 0x0435, Mark::Diaeresis}, {0x0453, 0x0433, Mark::Acute}, {0x0457, 0x0456, Mark::Diaeresis},
    {0x045C, 0x043A, Mark::Acute}, {0x045D, 0x0438, Mark::Grave}, {0x045E, 0x0443, Mark::Breve},
};

Polyline ring(Point centre, double radius) {
  Polyline out;
  for (int i = 0; i <= 8; ++i) {
    const double a = 2 * std::numbers::pi * i / 8;
    out.push_back({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
  }
  return out;
}

// The strokes of a mark over (or under) a glyph spanning `box`, with
// capitals `c` high: marks above sit a little over the glyph's top.
std::vector<Polyline> markStrokes(Mark mark, const Box& box, double c) {
  const double x = (box.left + box.right) / 2, y = box.top + 0.1 * c, h = 0.18 * c;
  switch (mark) {
    case Mark::Grave: return {{{x - 0.1 * c, y + h}, {x + 0.06 * c, y}}};
    case Mark::Acute: return {{{x - 0.06 * c, y}, {x + 0.1 * c, y + h}}};
    case Mark::Circumflex: return {{{x - 0.15 * c, y}, {x, y + h}, {x + 0.15 * c, y}}};
    case Mark::Caron: return {{{x - 0.15 * c, y + h}, {x, y}, {x + 0.15 * c, y + h}}};
    case Mark::Tilde:
      return {{{x - 0.2 * c, y + 0.04 * c}, {x - 0.1 * c, y + 0.16 * c}, {x + 0.1 * c, y + 0.04 * c},
               {x + 0.2 * c, y + 0.16 * c}}};
    case Mark::Macron: return {{{x - 0.18 * c, y + 0.1 * c}, {x + 0.18 * c, y + 0.1 * c}}};
    case Mark::Breve:
      return {{{x - 0.15 * c, y + h}, {x - 0.1 * c, y + 0.05 * c}, {x, y}, {x + 0.1 * c, y + 0.05 * c},
               {x + 0.15 * c, y + h}}};
    case Mark::DotAbove: return {ring({x, y + 0.06 * c}, 0.04 * c)};
    case Mark::Diaeresis: return {ring({x - 0.12 * c, y + 0.06 * c}, 0.04 * c), ring({x + 0.12 * c, y + 0.06 * c}, 0.04 * c)};
    case Mark::Ring: return {ring({x, y + 0.1 * c}, 0.09 * c)};
    case Mark::DoubleAcute:
      return {{{x - 0.14 * c, y}, {x - 0.02 * c, y + h}}, {{x + 0.04 * c, y}, {x + 0.16 * c, y + h}}};
    case Mark::Cedilla:
      return {{{x, 0}, {x, -0.1 * c}, {x + 0.08 * c, -0.14 * c}, {x + 0.08 * c, -0.22 * c}, {x - 0.06 * c, -0.26 * c}}};
    case Mark::Ogonek:
      return {{{box.right - 0.04 * c, 0}, {box.right - 0.14 * c, -0.12 * c}, {box.right - 0.08 * c, -0.25 * c},
               {box.right, -0.22 * c}}};
  }
  return {};
}

// A glyph of `font` with a stroke added; nullopt when the font lacks the base.
std::optional<Glyph> withStrokes(const StrokeFont& font, char32_t base, const std::vector<Polyline>& strokes) {
  const auto found = font.glyphs.find(base);
  if (found == font.glyphs.end()) return std::nullopt;
  Glyph g = found->second;
  g.strokes.insert(g.strokes.end(), strokes.begin(), strokes.end());
  return g;
}

void addIfMissing(StrokeFont& font, char32_t code, std::optional<Glyph> glyph) {
  if (glyph && !font.glyphs.count(code)) font.glyphs[code] = std::move(*glyph);
}

// "i" and "j" without their dots (the strokes wholly above the x-height),
// where marks above take the dot's place.
void addDotless(StrokeFont& font) {
  const double c = font.capHeight;
  for (auto [dotted, dotless] : {std::pair<char32_t, char32_t>{U'i', 0x131}, {U'j', 0x237}}) {
    const auto found = font.glyphs.find(dotted);
    if (found == font.glyphs.end()) continue;
    Glyph g = found->second;
    std::erase_if(g.strokes, [&](const Polyline& s) {
      return std::all_of(s.begin(), s.end(), [&](Point p) { return p.y > 0.8 * c; });
    });
    addIfMissing(font, dotless, g);
  }
}

// Letters with a bar or a slash, and signs made of the font's glyphs.
void addBuiltSigns(StrokeFont& font) {
  const double c = font.capHeight;
  auto box = [&](char32_t code) { return boxOf(font.glyphs.count(code) ? font.glyphs.at(code) : Glyph{}); };
  auto bar = [&](char32_t base, double y, double from, double to) {
    const Box b = box(base);
    return withStrokes(font, base, {{{b.left + from * (b.right - b.left), y}, {b.left + to * (b.right - b.left), y}}});
  };
  auto slash = [&](char32_t base) {
    const Box b = box(base);
    return withStrokes(font, base, {{{b.left, b.bottom - 0.05 * c}, {b.right, b.top + 0.05 * c}}});
  };
  addIfMissing(font, 0xD0, bar(U'D', 0.5 * c, -0.15, 0.45));   // Ð
  addIfMissing(font, 0x110, bar(U'D', 0.5 * c, -0.15, 0.45));  // Đ
  addIfMissing(font, 0x111, bar(U'd', 0.8 * c, 0.5, 1.15));    // đ
  addIfMissing(font, 0x126, bar(U'H', 0.72 * c, -0.15, 1.15)); // Ħ
  addIfMissing(font, 0x127, bar(U'h', 0.8 * c, -0.2, 0.55));   // ħ
  addIfMissing(font, 0x166, bar(U'T', 0.5 * c, 0.25, 0.75));   // Ŧ
  addIfMissing(font, 0x167, bar(U't', 0.3 * c, 0.1, 0.9));     // ŧ
  addIfMissing(font, 0xD8, slash(U'O'));
  addIfMissing(font, 0xF8, slash(U'o'));
  for (auto [code, base] : {std::pair<char32_t, char32_t>{0x141, U'L'}, {0x142, U'l'}}) {
    const Box b = box(base);
    const double stem = base == U'L' ? b.left : (b.left + b.right) / 2;
    addIfMissing(font, code, withStrokes(font, base, {{{stem - 0.15 * c, 0.3 * c}, {stem + 0.2 * c, 0.6 * c}}}));
  }
  for (auto [code, base] : {std::pair<char32_t, char32_t>{0x13F, U'L'}, {0x140, U'l'}}) {
    const Box b = box(base);
    addIfMissing(font, code, withStrokes(font, base, {ring({b.right + 0.1 * c, 0.5 * c}, 0.04 * c)}));
  }
  // The no-break space and the soft hyphen, as the space and the hyphen.
  if (font.glyphs.count(U' ')) addIfMissing(font, 0xA0, font.glyphs.at(U' '));
  if (font.glyphs.count(U'-')) addIfMissing(font, 0xAD, font.glyphs.at(U'-'));
  // The middle dot, and superscript digits: the digits at 60 % raised to the capitals' top.
  if (font.glyphs.count(U'.')) {
    Glyph dot = font.glyphs.at(U'.');
    for (Polyline& s : dot.strokes)
      for (Point& p : s) p.y += 0.4 * c;
    addIfMissing(font, 0xB7, dot);
  }
  for (auto [code, digit] : {std::pair<char32_t, char32_t>{0xB9, U'1'}, {0xB2, U'2'}, {0xB3, U'3'}}) {
    if (!font.glyphs.count(digit)) continue;
    Glyph g = font.glyphs.at(digit);
    g.advance *= 0.6;
    for (Polyline& s : g.strokes)
      for (Point& p : s) p = {p.x * 0.6, p.y * 0.6 + 0.4 * c};
    addIfMissing(font, code, g);
  }
  // Inverted exclamation and question marks: the marks turned half round.
  for (auto [code, base] : {std::pair<char32_t, char32_t>{0xA1, U'!'}, {0xBF, U'?'}}) {
    if (!font.glyphs.count(base)) continue;
    Glyph g = font.glyphs.at(base);
    for (Polyline& s : g.strokes)
      for (Point& p : s) p = {g.advance - p.x, 0.75 * c - p.y};
    addIfMissing(font, code, g);
  }
}

}  // namespace

void addAlphabets(StrokeFont& font, const std::string& folder) {
  if (!(font.capHeight > 0)) return;
  if (auto greek = readAlphabet(folder + "/greek.jhf", 'H', font.capHeight))
    for (auto [at, code] : GREEK)
      if (greek->count(static_cast<char32_t>(at))) addIfMissing(font, code, greek->at(static_cast<char32_t>(at)));
  if (auto cyrillic = readAlphabet(folder + "/cyrillic.jhf", 'N', font.capHeight))
    for (auto [at, code] : CYRILLIC)
      if (cyrillic->count(static_cast<char32_t>(at)))
        addIfMissing(font, code, cyrillic->at(static_cast<char32_t>(at)));
  for (auto [code, latin] : SAME_AS_LATIN)
    if (font.glyphs.count(latin)) addIfMissing(font, code, font.glyphs.at(latin));
  addDotless(font);
  addBuiltSigns(font);
  for (const Composition& composed : COMPOSED) {
    // Marks above i and j take the place of the dot.
    char32_t base = composed.base;
    const bool above = composed.mark != Mark::Cedilla && composed.mark != Mark::Ogonek;
    if (above && (base == U'i' || base == 0x456)) base = 0x131;
    if (above && base == U'j') base = 0x237;
    const auto found = font.glyphs.find(base);
    if (found == font.glyphs.end()) continue;
    addIfMissing(font, composed.code, withStrokes(font, base, markStrokes(composed.mark, boxOf(found->second), font.capHeight)));
  }
}

}  // namespace tavix::geometry
