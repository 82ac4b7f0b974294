#include "mtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "textLayout.h"
#include "vectorMath.h"

namespace tavix::geometry {
namespace {

constexpr double DEGREE = std::numbers::pi / 180;
constexpr double MAX_OBLIQUE_DEGREES = 85;
// Baseline to baseline, in text heights, at a spacing factor of 1.
constexpr double LINE_PITCH = 5.0 / 3.0;
// Markers in the parsed text: a line break, and a space that does not break.
constexpr char32_t LINE_BREAK = U'\n';
constexpr char32_t NO_BREAK_SPACE = 0x00A0;
// Markers of stacked text, from a private plane no font draws: a stack
// with a bar and its parts centred, one without a bar and its parts at the
// left, the end of the upper part and the end of the stack.
constexpr char32_t STACK_BAR = 0xF0000, STACK_LEFT = 0xF0001, STACK_SPLIT = 0xF0002, STACK_END = 0xF0003;
// The parts of a stack, in text heights: their size, and their distance
// from the middle of the capitals.
constexpr double STACK_SIZE = 0.7, STACK_GAP = 0.15;

bool isStackMarker(char32_t c) { return c >= STACK_BAR && c <= STACK_END; }

// The ASCII argument of a code, up to ';' or the end; `i` ends after it.
std::string argument(const std::u32string& text, std::size_t& i) {
  std::string out;
  while (i < text.size() && text[i] != U';') {
    out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    ++i;
  }
  if (i < text.size()) ++i;
  return out;
}

// A value of \H or \W: "2.5" sets it, "2.5x" multiplies the current one.
// Anything not positive and finite leaves the value unchanged.
double sizeValue(const std::string& arg, double current) {
  const bool relative = !arg.empty() && (arg.back() == 'x' || arg.back() == 'X');
  const std::string number = relative ? arg.substr(0, arg.size() - 1) : arg;
  double v = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), v);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(v) || !(v > 0))
    return current;
  const double result = relative ? current * v : v;
  return std::isfinite(result) ? result : current;
}

// \C<number>; sets a colour number (0 to 256), \c<BGR>; a true colour
// stored blue first; anything else leaves the colour as it is.
void colourCode(char32_t code, const std::string& arg, TextColour& colour) {
  long value = -1;
  const auto [end, error] = std::from_chars(arg.data(), arg.data() + arg.size(), value);
  if (error != std::errc() || end != arg.data() + arg.size() || value < 0) return;
  if (code == U'C' && value <= 256) colour = TextColour{static_cast<int>(value), -1};
  if (code == U'c' && value <= 0xFFFFFF)
    colour = TextColour{-1, static_cast<int>((value & 0xFF) << 16 | (value & 0xFF00) | (value >> 16))};
}

// The switch of \f or \F: the name up to the first '|', then flags
// (b1 bold, i1 italic; c and p, the character set and pitch, do not matter).
FontSwitch fontSwitch(const std::string& arg, bool file) {
  FontSwitch out;
  out.file = file;
  std::size_t bar = arg.find('|');
  out.name = arg.substr(0, bar);
  while (bar != std::string::npos) {
    const std::size_t next = arg.find('|', bar + 1);
    const std::string flag = arg.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1);
    if (flag.size() >= 2 && (flag[0] == 'b' || flag[0] == 'i')) (flag[0] == 'b' ? out.bold : out.italic) = flag[1] == '1';
    bar = next;
  }
  return out;
}

// Reads the MTEXT codes: characters with their styles, LINE_BREAK for \P
// and \N, NO_BREAK_SPACE for \~.
StyledText parseCodes(const std::u32string& text, CharStyle base,
                      const std::function<const StrokeFont*(const FontSwitch&)>& fonts) {
  StyledText out;
  std::vector<CharStyle> saved;
  CharStyle style = base;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = text[i++];
    if (c == U'{') {
      saved.push_back(style);
      continue;
    }
    if (c == U'}') {
      if (!saved.empty()) {
        style = saved.back();
        saved.pop_back();
      }
      continue;
    }
    if (c == U'^' && i < text.size() && (text[i] == U' ' || (text[i] >= U'@' && text[i] <= U'_'))) {
      // Caret notation: "^ " is the caret itself, ^J a line feed (a new
      // paragraph), ^I a tab and any other control character a space.
      const char32_t next = text[i++];
      out.push_back({next == U' ' ? U'^' : next == U'J' ? LINE_BREAK : U' ', style});
      continue;
    }
    if (c != U'\\' || i >= text.size()) {
      if (c >= 0x20 || c == U'\t') out.push_back({c == U'\t' ? U' ' : c, style});
      continue;
    }
    const char32_t code = text[i++];
    switch (code) {
      case U'P': case U'N': out.push_back({LINE_BREAK, style}); break;
      case U'~': out.push_back({NO_BREAK_SPACE, style}); break;
      case U'\\': case U'{': case U'}': out.push_back({code, style}); break;
      case U'L': style.underline = true; break;
      case U'l': style.underline = false; break;
      case U'O': style.overline = true; break;
      case U'o': style.overline = false; break;
      case U'K': style.strike = true; break;
      case U'k': style.strike = false; break;
      case U'H': style.height = sizeValue(argument(text, i), style.height); break;
      case U'W': style.widthFactor = sizeValue(argument(text, i), style.widthFactor); break;
      case U'Q': {
        const std::string arg = argument(text, i);
        double degrees = 0;
        const auto [end, error] = std::from_chars(arg.data(), arg.data() + arg.size(), degrees);
        if (error == std::errc() && std::isfinite(degrees) && std::fabs(degrees) <= MAX_OBLIQUE_DEGREES)
          style.slant = std::tan(degrees * DEGREE);
        break;
      }
      case U'U': {
        // \U+XXXX: exactly four hexadecimal digits, as CAD programs write
        // them ("\U+00B0C" is a degree sign and a C).
        std::size_t k = i;
        char32_t value = 0;
        if (k < text.size() && text[k] == U'+') {
          ++k;
          int digits = 0;
          while (k < text.size() && digits < 4 && std::isxdigit(text[k] < 0x80 ? static_cast<int>(text[k]) : 0)) {
            const char32_t d = text[k++];
            value = value * 16 + (d <= U'9' ? d - U'0' : (d | 0x20) - U'a' + 10);
            ++digits;
          }
          if (digits == 4) {
            out.push_back({value, style});
            i = k;
            break;
          }
        }
        out.push_back({U'\\', style});
        out.push_back({U'U', style});
        break;
      }
      case U'S': {
        const std::size_t start = i;
        while (i < text.size() && text[i] != U';') ++i;
        std::size_t split = start;
        while (split < i && text[split] != U'/' && text[split] != U'^' && text[split] != U'#') ++split;
        const std::size_t end = i;
        if (i < text.size()) ++i;
        if (split == end) {  // nothing to stack
          for (std::size_t k = start; k < end; ++k) out.push_back({text[k], style});
          break;
        }
        // Spaces in a stack do not break the line.
        auto part = [&](std::size_t from, std::size_t to, const CharStyle& partStyle) {
          for (std::size_t k = from; k < to; ++k)
            out.push_back({text[k] == U' ' ? NO_BREAK_SPACE : text[k], partStyle});
        };
        CharStyle upper = style, lower = style;
        upper.height = lower.height = STACK_SIZE * style.height;
        if (text[split] == U'#') {
          // Diagonal: the upper part raised to the capitals' top, a slash, the lower part on the baseline.
          upper.rise = style.rise + style.height - upper.height;
          part(start, split, upper);
          out.push_back({U'/', style});
          part(split + 1, end, lower);
          break;
        }
        const double middle = style.rise + style.height / 2, gap = STACK_GAP * style.height;
        upper.rise = middle + gap;
        lower.rise = middle - gap - lower.height;
        CharStyle marker = style;
        marker.rise = middle;  // where the bar goes
        out.push_back({text[split] == U'/' ? STACK_BAR : STACK_LEFT, marker});
        part(start, split, upper);
        out.push_back({STACK_SPLIT, marker});
        part(split + 1, end, lower);
        out.push_back({STACK_END, marker});
        break;
      }
      case U'C': case U'c': colourCode(code, argument(text, i), style.colour); break;
      case U'f': case U'F': {
        const FontSwitch wanted = fontSwitch(argument(text, i), code == U'F');
        const StrokeFont* font = fonts && !wanted.name.empty() ? fonts(wanted) : nullptr;
        if (font != nullptr && font->capHeight > 0) style.font = font;
        break;
      }
      case U'T': style.tracking = sizeValue(argument(text, i), style.tracking); break;
      case U'A': case U'p': case U'X':
        argument(text, i);  // alignment, paragraph: not drawn
        break;
      default:
        out.push_back({U'\\', style});
        out.push_back({code, style});
        break;
    }
  }
  return decodePercentCodes(out);
}

struct Bar {
  double x0, x1, rise;
};

struct Line {
  std::vector<PlacedChar> chars;
  std::vector<Bar> bars;  // of stacked fractions
  double width = 0;
  double capHeight = 0;
};

// A stack being laid out: where it began, and its upper part's end.
struct OpenStack {
  char32_t kind = 0;
  std::size_t first = 0, split = 0;
  double x0 = 0, upperWidth = 0;
};

// Lays out one stack marker: the parts start at the same place, and at its
// end the narrower part is centred over the wider (or both kept at the left)
// and the line moves on by the wider.
void stackMarker(Line& line, OpenStack& stack, char32_t marker, const CharStyle& style) {
  if (marker == STACK_BAR || marker == STACK_LEFT) {
    stack = {marker, line.chars.size(), line.chars.size(), line.width, 0};
    return;
  }
  if (stack.kind == 0) return;
  if (marker == STACK_SPLIT) {
    stack.split = line.chars.size();
    stack.upperWidth = line.width - stack.x0;
    line.width = stack.x0;
    return;
  }
  const double lowerWidth = line.width - stack.x0, wider = std::max(stack.upperWidth, lowerWidth);
  if (stack.kind == STACK_BAR) {
    for (std::size_t k = stack.first; k < line.chars.size(); ++k)
      line.chars[k].x += (wider - (k < stack.split ? stack.upperWidth : lowerWidth)) / 2;
    line.bars.push_back({stack.x0, stack.x0 + wider, style.rise});
  }
  line.width = stack.x0 + wider;
  stack = OpenStack{};
}

bool isSpace(char32_t c) { return c == U' '; }

// Fills lines, breaking at LINE_BREAK and, with a width, between words.
std::vector<Line> breakLines(const StrokeFont& font, const StyledText& text, double width) {
  std::vector<Line> lines(1);
  std::size_t i = 0;
  OpenStack stack;
  auto add = [&](std::size_t from, std::size_t to) {
    Line& line = lines.back();
    for (std::size_t k = from; k < to; ++k) {
      if (isStackMarker(text[k].first)) {
        stackMarker(line, stack, text[k].first, text[k].second);
        continue;
      }
      const char32_t code = text[k].first == NO_BREAK_SPACE ? U' ' : text[k].first;
      if (!line.chars.empty() && line.chars.back().style.height == text[k].second.height &&
          line.chars.back().style.font == text[k].second.font)
        line.width += kerningOf(font, line.chars.back().code, code, text[k].second);
      line.chars.push_back({code, line.width, 0, text[k].second});
      line.width += advanceOf(font, code, text[k].second);
    }
  };
  auto widthOf = [&](std::size_t from, std::size_t to) {
    double w = 0;
    for (std::size_t k = from; k < to; ++k)
      if (!isStackMarker(text[k].first))
        w += advanceOf(font, text[k].first == NO_BREAK_SPACE ? U' ' : text[k].first, text[k].second);
    return w;
  };
  while (i < text.size()) {
    if (text[i].first == LINE_BREAK) {
      lines.emplace_back();
      ++i;
      continue;
    }
    std::size_t spacesEnd = i;
    while (spacesEnd < text.size() && isSpace(text[spacesEnd].first)) ++spacesEnd;
    std::size_t wordEnd = spacesEnd;
    while (wordEnd < text.size() && !isSpace(text[wordEnd].first) && text[wordEnd].first != LINE_BREAK) ++wordEnd;
    if (wordEnd == spacesEnd) {  // spaces before a break or the end: not drawn
      i = spacesEnd;
      continue;
    }
    const double needed = widthOf(i, wordEnd);
    if (width > 0 && !lines.back().chars.empty() && lines.back().width + needed > width * (1 + 1e-9)) {
      lines.emplace_back();
      add(spacesEnd, wordEnd);
    } else {
      add(i, wordEnd);
    }
    i = wordEnd;
  }
  return lines;
}

}  // namespace

std::optional<StrokedText> strokeMText(const StrokeFont& font, const MTextStyle& textStyle) {
  if (!isFinite(textStyle.insertion) || !std::isfinite(textStyle.height) || !(textStyle.height > 0) ||
      !std::isfinite(textStyle.rotationDegrees) || !std::isfinite(textStyle.referenceWidth) ||
      !std::isfinite(textStyle.lineSpacingFactor) || !(textStyle.lineSpacingFactor > 0) || !(font.capHeight > 0) ||
      !std::isfinite(textStyle.widthFactor) || !(textStyle.widthFactor > 0) || !std::isfinite(textStyle.obliqueDegrees) ||
      std::fabs(textStyle.obliqueDegrees) > MAX_OBLIQUE_DEGREES)
    return std::nullopt;
  const int attachment = static_cast<int>(textStyle.attachment);
  if (attachment < 1 || attachment > 9) return std::nullopt;
  CharStyle base;
  base.height = textStyle.height;
  base.widthFactor = textStyle.widthFactor;
  base.slant = std::tan(textStyle.obliqueDegrees * DEGREE);
  std::vector<Line> lines = breakLines(font, parseCodes(decodeUtf8(textStyle.text), base, textStyle.fonts),
                                       textStyle.referenceWidth > 0 ? textStyle.referenceWidth : 0);
  // Baselines from the top: the first line's capitals touch y = 0.
  double baseline = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    Line& line = lines[k];
    line.capHeight = textStyle.height;
    for (const PlacedChar& ch : line.chars) line.capHeight = std::max(line.capHeight, ch.style.height);
    baseline -= k == 0 ? line.capHeight : LINE_PITCH * textStyle.lineSpacingFactor * line.capHeight;
    for (PlacedChar& ch : line.chars) ch.baseline = baseline + ch.style.rise;
    for (Bar& bar : line.bars) bar.rise += baseline;
  }
  const double total = -baseline;
  const int column = (attachment - 1) % 3, row = (attachment - 1) / 3;
  const double shiftY = row == 0 ? 0 : row == 1 ? total / 2 : total;
  std::vector<PlacedChar> chars;
  for (Line& line : lines) {
    const double shiftX = column == 0 ? 0 : column == 1 ? -line.width / 2 : -line.width;
    for (PlacedChar& ch : line.chars) {
      ch.x += shiftX;
      ch.baseline += shiftY;
      chars.push_back(ch);
    }
    for (Bar& bar : line.bars) bar = {bar.x0 + shiftX, bar.x1 + shiftX, bar.rise + shiftY};
  }
  StrokedText out;
  const double angle = std::fmod(textStyle.rotationDegrees, 360.0) * DEGREE;
  drawChars(font, chars, textStyle.insertion, angle, out);
  const Point along{std::cos(angle), std::sin(angle)}, across{-along.y, along.x};
  for (const Line& line : lines)
    for (const Bar& bar : line.bars)
      out.strokes.push_back({textStyle.insertion + bar.x0 * along + bar.rise * across,
                             textStyle.insertion + bar.x1 * along + bar.rise * across});
  for (const Polyline& stroke : out.strokes)
    if (!allFinite(stroke)) return std::nullopt;
  for (const TextFill& fill : out.fills)
    for (const Polyline& outline : fill.outlines)
      if (!allFinite(outline)) return std::nullopt;
  return out;
}

}  // namespace tavix::geometry
