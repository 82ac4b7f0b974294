#include "hpglReader.h"

#include <algorithm>
#include <cmath>

namespace tavix::preview {
namespace {

constexpr double FAR = 1e12;

bool isLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isSeparator(int c) { return c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == 0; }
int upper(int c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
constexpr int code(char a, char b) { return (a << 8) | b; }

double sane(double v) {
    if (!std::isfinite(v)) return 0;
    return std::clamp(v, -FAR, FAR);
}

Rgb defaultPenColour(int pen) {
    static const Rgb eight[8] = {{255, 255, 255}, {0, 0, 0},   {255, 0, 0},   {0, 255, 0},
                                 {255, 255, 0},   {0, 0, 255}, {255, 0, 255}, {0, 255, 255}};
    if (pen <= 0) return eight[0];
    return eight[(pen - 1) % 7 + 1];
}

uint8_t toByte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

}  // namespace

HpglReader::HpglReader(StreamContext& ctx, PageBuilder& pages) : ctx_(ctx), pages_(pages) {
    hardClip_ = {-FAR, -FAR, FAR, FAR};
    initialize();
}

void HpglReader::defaultPalette() {
    for (int i = 0; i < 256; ++i) colours_[i] = defaultPenColour(i);
}

void HpglReader::initialize() {
    pages_.breakLine();
    pen_ = {0, 0};
    penDown_ = false;
    absolute_ = true;
    if (hasPaper_) {
        p1_ = {hardClip_.x0, hardClip_.y0};
        p2_ = {hardClip_.x1, hardClip_.y1};
    } else {
        p1_ = {0, 0};
        p2_ = {11880, 8400};  // A4 sideways, until PS says otherwise
    }
    scaling_ = false;
    window_ = false;
    defaultPalette();
    widths_.fill(0.35);
    widthGiven_.fill(false);
    widthRelative_ = false;
    range_[0] = range_[2] = range_[4] = 0;
    range_[1] = range_[3] = range_[5] = 255;
    cap_ = LineCap::Butt;
    join_ = LineJoin::Mitered;
    solid_ = true;
    lineType_ = 0;
    lineLength_ = 4;
    lineMode_ = 0;
    polygonMode_ = false;
    polygon_.clear();
    fillType_ = 1;
    shading_ = 100;
    labelTerminator_ = 3;
    updateTransform(NO_OFFSET);
}

// ---------------------------------------------------------------- reading

void HpglReader::run() {
    while (!ctx_.atEnd()) {
        ctx_.release();
        int c = ctx_.peek();
        if (c == 0x1B) return;
        if (isLetter(c)) {
            instruction();
            continue;
        }
        if (isSeparator(c)) {
            ++ctx_.pos;
            continue;
        }
        size_t start = ctx_.pos;
        while (!ctx_.atEnd()) {
            int b = ctx_.peek();
            if (b == 0x1B || isLetter(b) || isSeparator(b)) break;
            ctx_.skip(1);
        }
        ctx_.warn(start, numberText(static_cast<long long>(ctx_.pos - start)) +
                             " unexpected bytes in HP-GL/2 skipped, starting with " + describeByte(c));
    }
}

HpglReader::Params HpglReader::readParams(size_t offset) {
    Params p;
    p.offset = offset;
    bool warned = false;
    while (!ctx_.atEnd()) {
        ctx_.release();
        int c = ctx_.peek();
        if (c == ';') {
            ++ctx_.pos;
            break;
        }
        if (c == 0x1B || isLetter(c)) break;
        if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++ctx_.pos;
            continue;
        }
        if (c == '"') {  // a quoted text (BP, CO): skipped
            ++ctx_.pos;
            while (!ctx_.atEnd() && ctx_.peek() != '"' && ctx_.peek() != 0x1B) ctx_.skip(1);
            if (ctx_.peek() == '"') ++ctx_.pos;
            continue;
        }
        Decimal number;
        size_t at = ctx_.pos;
        if (readDecimal(ctx_, number)) {
            if (number.tooLarge) ctx_.warn(at, "number out of range, clamped");
            p.values.push_back(number.value);
            continue;
        }
        if (!warned) {
            ctx_.warn(ctx_.pos, "unexpected " + describeByte(c) + " in parameters");
            warned = true;
        }
        ++ctx_.pos;
    }
    return p;
}

void HpglReader::warnCount(const Params& p, const char* name) {
    ctx_.warn(p.offset, std::string(name) + " with " + numberText(static_cast<long long>(p.count())) +
                            " parameters ignored");
}

void HpglReader::skipLabel(size_t offset) {
    size_t start = ctx_.pos;
    while (!ctx_.atEnd() && ctx_.peek() != labelTerminator_ && ctx_.peek() != 0x1B) ctx_.skip(1);
    if (ctx_.peek() == labelTerminator_) ++ctx_.pos;
    (void)start;
    ctx_.warn(offset, "label text (LB) is not drawn by the preview");
}

void HpglReader::instruction() {
    size_t offset = ctx_.pos;
    int a = upper(ctx_.peek());
    int b = ctx_.peek(1);
    if (!isLetter(b)) {
        ctx_.warn(offset, "incomplete instruction " + describeByte(ctx_.peek()));
        ++ctx_.pos;
        return;
    }
    b = upper(b);
    ctx_.pos += 2;
    ++ctx_.out().instructionCount;
    int name = code(static_cast<char>(a), static_cast<char>(b));
    if (textInstruction(name, offset)) return;
    Params p = readParams(offset);
    if (setUpInstruction(name, p) || drawingInstruction(name, p)) return;
    otherInstruction(name, offset);
}

// Instructions whose parameters are not numbers: PE's encoded digits, a
// label's text, the terminator characters of DT and SM.
bool HpglReader::textInstruction(int name, size_t offset) {
    switch (name) {
    case code('P', 'E'): polylineEncoded(offset); return true;
    case code('L', 'B'): skipLabel(offset); return true;
    case code('D', 'T'): {
        int t = ctx_.peek();
        if (t >= 0 && t != ';' && t != 0x1B) {
            labelTerminator_ = static_cast<char>(t);
            ++ctx_.pos;
        }
        readParams(offset);
        return true;
    }
    case code('S', 'M'): {
        int t = ctx_.peek();
        if (t > 0x20 && t != ';' && t != 0x1B) ++ctx_.pos;
        readParams(offset);
        return true;
    }
    default: return false;
    }
}

// The plotter's state: initialisation, paper, scaling, window, pens and
// line attributes.
bool HpglReader::setUpInstruction(int name, const Params& p) {
    switch (name) {
    case code('B', 'P'): return true;
    case code('I', 'N'): initialize(); return true;
    case code('D', 'F'): setDefaults(p.offset); return true;
    case code('P', 'S'): paperSize(p); return true;
    case code('I', 'P'): inputP1P2(p, false); return true;
    case code('I', 'R'): inputP1P2(p, true); return true;
    case code('S', 'C'): scale(p); return true;
    case code('I', 'W'): inputWindow(p); return true;
    case code('N', 'P'): numberOfPens(p); return true;
    case code('C', 'R'): colourRange(p); return true;
    case code('P', 'C'): penColour(p); return true;
    case code('P', 'W'): penWidth(p); return true;
    case code('W', 'U'): widthRelative_ = p.count() > 0 && p[0] == 1; return true;
    case code('L', 'A'): lineAttributes(p); return true;
    case code('L', 'T'): lineType(p); return true;
    case code('F', 'T'): fillType(p); return true;
    default: return false;
    }
}

// What draws: pens, vectors, polygons, pages.
bool HpglReader::drawingInstruction(int name, const Params& p) {
    size_t offset = p.offset;
    switch (name) {
    case code('S', 'P'): selectPen(p.count() == 0 ? 0 : p[0], offset); return true;
    case code('P', 'U'):
    case code('P', 'D'):
        penDown_ = name == code('P', 'D');
        if (!penDown_) pages_.breakLine();
        plotPairs(p, absolute_, offset);
        return true;
    case code('P', 'A'):
    case code('P', 'R'):
        absolute_ = name == code('P', 'A');
        plotPairs(p, absolute_, offset);
        return true;
    case code('P', 'M'): polygonMode(p); return true;
    case code('F', 'P'): fillPolygon(p, offset); return true;
    case code('E', 'P'): edgePolygon(offset); return true;
    case code('P', 'G'):
        if (polygonMode_) ctx_.warn(offset, "PG inside polygon mode");
        pages_.endPage(offset);
        return true;
    case code('R', 'P'): {
        double n = p.count() > 0 ? p[0] : 1;
        if (n < 1) ctx_.warn(offset, "RP with fewer than one copy ignored");
        else pages_.replot(static_cast<int>(std::min(n, 1e6)), offset);
        return true;
    }
    default: return false;
    }
}

void HpglReader::setDefaults(size_t offset) {
    pages_.breakLine();
    scaling_ = false;
    window_ = false;
    absolute_ = true;
    solid_ = true;
    cap_ = LineCap::Butt;
    join_ = LineJoin::Mitered;
    polygonMode_ = false;
    fillType_ = 1;
    labelTerminator_ = 3;
    updateTransform(offset);
}

// Instructions the preview accepts without drawing, and those it cannot draw.
void HpglReader::otherInstruction(int name, size_t offset) {
    std::string text{static_cast<char>(name >> 8), static_cast<char>(name & 0xFF)};
    switch (name) {
    // Set-up that changes nothing the preview shows.
    case code('R', 'F'): case code('T', 'R'): case code('M', 'C'): case code('P', 'P'):
    case code('Q', 'L'): case code('A', 'C'): case code('S', 'V'): case code('C', 'O'):
    case code('N', 'R'): case code('M', 'G'): case code('C', 'T'): case code('E', 'C'):
    case code('O', 'I'): case code('O', 'P'): case code('O', 'W'): case code('O', 'H'):
    case code('O', 'S'): case code('O', 'E'): case code('O', 'A'): case code('O', 'F'):
    case code('O', 'T'):
        return;
    // Drawing the preview does not do.
    case code('A', 'A'): case code('A', 'R'): case code('A', 'T'): case code('C', 'I'):
    case code('E', 'A'): case code('E', 'R'): case code('E', 'W'): case code('R', 'A'):
    case code('R', 'R'): case code('W', 'G'): case code('B', 'Z'): case code('B', 'R'):
    case code('R', 'T'): case code('U', 'L'): case code('R', 'O'): case code('C', 'P'):
    case code('D', 'I'): case code('D', 'R'): case code('S', 'I'): case code('S', 'R'):
    case code('S', 'D'): case code('S', 'S'): case code('S', 'A'): case code('S', 'L'):
    case code('T', 'D'): case code('L', 'O'): case code('D', 'V'): case code('E', 'S'):
    case code('F', 'I'): case code('F', 'N'): case code('L', 'M'): case code('C', 'F'):
    case code('D', 'L'): case code('P', 'T'): case code('F', 'R'): case code('A', 'D'):
    case code('D', 'C'): case code('D', 'P'): case code('X', 'T'): case code('Y', 'T'):
    case code('T', 'L'): case code('S', 'G'): case code('C', 'C'): case code('V', 'S'):
        ctx_.warn(offset, "HP-GL/2 instruction " + text + " is not drawn by the preview");
        return;
    default:
        ctx_.warn(offset, "unknown HP-GL/2 instruction " + text + " skipped");
        return;
    }
}

// ---------------------------------------------------------------- geometry

void HpglReader::updateTransform(size_t offset) {
    transform_ = Transform{};
    if (!scaling_) return;
    double xmin = sc_[0], xmax = sc_[1], ymin = sc_[2], ymax = sc_[3];
    Transform t;
    if (scaleType_ == 2) {
        t.sx = xmax;
        t.sy = ymax;
        t.ox = p1_.x - xmin * t.sx;
        t.oy = p1_.y - ymin * t.sy;
    } else {
        if (xmax == xmin || ymax == ymin) {
            ctx_.warn(offset, "SC with an empty range ignored; scaling off");
            scaling_ = false;
            return;
        }
        t.sx = (p2_.x - p1_.x) / (xmax - xmin);
        t.sy = (p2_.y - p1_.y) / (ymax - ymin);
        t.ox = p1_.x - xmin * t.sx;
        t.oy = p1_.y - ymin * t.sy;
        if (scaleType_ == 1) {
            double s = std::min(std::fabs(t.sx), std::fabs(t.sy));
            double sx = t.sx < 0 ? -s : s, sy = t.sy < 0 ? -s : s;
            double extraX = (p2_.x - p1_.x) - (xmax - xmin) * sx;
            double extraY = (p2_.y - p1_.y) - (ymax - ymin) * sy;
            t.sx = sx;
            t.sy = sy;
            t.ox = p1_.x + extraX * scLeft_ / 100 - xmin * sx;
            t.oy = p1_.y + extraY * scBottom_ / 100 - ymin * sy;
        }
    }
    t.sx = sane(t.sx);
    t.sy = sane(t.sy);
    t.ox = sane(t.ox);
    t.oy = sane(t.oy);
    transform_ = t;
}

Point HpglReader::toPlotter(double ux, double uy) const {
    return {sane(transform_.ox + ux * transform_.sx), sane(transform_.oy + uy * transform_.sy)};
}

Point HpglReader::deltaToPlotter(double dx, double dy) const {
    return {sane(dx * transform_.sx), sane(dy * transform_.sy)};
}

Rect HpglReader::clip() const {
    if (!window_) return hardClip_;
    return {std::max(hardClip_.x0, windowRect_.x0), std::max(hardClip_.y0, windowRect_.y0),
            std::min(hardClip_.x1, windowRect_.x1), std::min(hardClip_.y1, windowRect_.y1)};
}

double HpglReader::diagonal() const { return std::hypot(p2_.x - p1_.x, p2_.y - p1_.y); }

RtlFrame HpglReader::rtlFrame() const {
    RtlFrame frame;
    frame.clip = hardClip_;
    if (hasPaper_ && psLength_ <= psWidth_) {
        frame.origin = {hardClip_.x1, hardClip_.y0};
        frame.xAxis = {-1, 0};
        frame.yAxis = {0, 1};
    } else {
        frame.origin = hasPaper_ ? Point{hardClip_.x0, hardClip_.y0} : Point{0, 0};
        frame.xAxis = {0, 1};
        frame.yAxis = {1, 0};
    }
    return frame;
}

int HpglReader::mapPen(int pen) const {
    if (pen < 0) return 0;
    if (pen < numPens_) return std::min(pen, 255);
    return std::min((pen - 1) % (numPens_ - 1) + 1, 255);
}

// The job ticket comes before the HP-GL/2; it is read again only when it
// has grown (a second ticket).
const TicketPens& HpglReader::ticketPens() {
    const auto& lines = ctx_.out().ticket;
    if (lines.size() != ticketLinesRead_) {
        ticketPens_ = readTicketPens(lines);
        ticketLinesRead_ = lines.size();
    }
    return ticketPens_;
}

StrokeStyle HpglReader::style() {
    StrokeStyle s;
    int pen = mapPen(currentPen_);
    const TicketPens& ticket = ticketPens();
    s.pen = currentPen_;
    s.colour = ticket.shade(pen, colours_[pen]);
    s.widthMm = !widthGiven_[pen] && ticket.widthMm[pen] > 0 ? ticket.widthMm[pen] : widths_[pen];
    s.cap = cap_;
    s.join = join_;
    s.pattern.solid = solid_;
    if (!solid_) {
        s.pattern.type = std::abs(lineType_);
        s.pattern.adaptive = lineType_ < 0;
        s.pattern.period = lineMode_ == 1 ? lineLength_ * UNITS_PER_MM : lineLength_ / 100 * diagonal();
        if (!(s.pattern.period > 0)) s.pattern.solid = true;
    }
    return s;
}

Rgb HpglReader::fillColour() {
    int pen = mapPen(currentPen_);
    Rgb c = ticketPens().shade(pen, colours_[pen]);
    if (fillType_ != 10) return c;
    double k = std::clamp(shading_, 0.0, 100.0) / 100;
    return {toByte(255 - (255 - c.r) * k), toByte(255 - (255 - c.g) * k), toByte(255 - (255 - c.b) * k)};
}

// ---------------------------------------------------------------- vectors

void HpglReader::moveTo(Point target, bool down, size_t offset) {
    if (polygonMode_) {
        if (!down) {
            if (!polygon_.empty() && polygon_.back().size() <= 1) polygon_.back() = {target};
            else polygon_.push_back({target});
            newRing_ = false;
        } else {
            if (polygon_.empty() || newRing_) polygon_.push_back({pen_});
            newRing_ = false;
            polygon_.back().push_back(target);
        }
        pen_ = target;
        return;
    }
    if (down) pages_.vector(pen_, target, style(), clip(), offset);
    else pages_.breakLine();
    pen_ = target;
}

void HpglReader::plotPairs(const Params& p, bool absolute, size_t offset) {
    if (p.count() % 2 != 0) ctx_.warn(offset, "odd number of coordinates; the last one ignored");
    for (size_t i = 0; i + 1 < p.count(); i += 2) {
        Point target = absolute ? toPlotter(p[i], p[i + 1])
                                : Point{sane(pen_.x + deltaToPlotter(p[i], p[i + 1]).x),
                                        sane(pen_.y + deltaToPlotter(p[i], p[i + 1]).y)};
        moveTo(target, penDown_, offset);
    }
}

void HpglReader::selectPen(double value, size_t offset) {
    pages_.breakLine();
    if (value < 0 || value > 32767) {
        ctx_.warn(offset, "pen number " + fixedText(value, 0) + " out of range; ignored");
        return;
    }
    currentPen_ = static_cast<int>(value);
}

// Polyline Encoded: base-32 ("PE7") or base-64 digits, least significant
// first, the last digit from the terminating range; the low bit of the
// value is the sign. Flags: '<' pen up for the next pair, '=' absolute
// next pair, '>' fractional bits, ':' select pen, '7' seven-bit digits.
void HpglReader::polylineEncoded(size_t offset) {
    PeState pe;
    while (true) {
        ctx_.release();
        int c = ctx_.peek();
        if (c < 0) {
            ctx_.warn(ctx_.pos, "data ends inside PE");
            break;
        }
        if (c == ';') {
            ++ctx_.pos;
            break;
        }
        if (c == 0x1B) {
            ctx_.warn(ctx_.pos, "PE not closed with ';' before an escape sequence");
            break;
        }
        if (!pe.isDigit(c)) {
            peFlag(pe, c);
            continue;
        }
        size_t numberStart = ctx_.pos;
        double value;
        if (peNumber(pe, value)) peValue(pe, value, numberStart);
    }
    if (pe.haveX) ctx_.warn(offset, "PE ends with an x coordinate without its y");
}

bool HpglReader::PeState::isDigit(int c) const {
    int nonTerminalEnd = sevenBit ? 94 : 126;
    int terminalStart = sevenBit ? 95 : 191, terminalEnd = sevenBit ? 126 : 254;
    return (c >= 63 && c <= nonTerminalEnd) || (c >= terminalStart && c <= terminalEnd);
}

// A flag, or a byte that has no place in PE (warned once).
void HpglReader::peFlag(PeState& pe, int c) {
    size_t at = ctx_.pos++;
    if (c == '<' || c == '=' || c == '>' || c == ':' || c == '7') {
        if (pe.expect != PeState::Expect::Coordinate) {
            ctx_.warn(at, "PE flag " + describeByte(c) + " where a number was expected");
            pe.expect = PeState::Expect::Coordinate;
        }
        if (pe.haveX && c != '7') ctx_.warn(at, "PE flag " + describeByte(c) + " between x and y");
        if (c == '<') pe.upNext = true;
        else if (c == '=') pe.absoluteNext = true;
        else if (c == '>') pe.expect = PeState::Expect::Fraction;
        else if (c == ':') pe.expect = PeState::Expect::Pen;
        else pe.sevenBit = true;
    } else if (c != ' ' && c != '\r' && c != '\n' && c != '\t' && !pe.warnedByte) {
        ctx_.warn(at, "unexpected " + describeByte(c) + " in PE skipped");
        pe.warnedByte = true;
    }
}

// One number: digits up to the one from the terminating range. False when
// the digits stop before it (warned).
bool HpglReader::peNumber(PeState& pe, double& value) {
    size_t numberStart = ctx_.pos;
    int nonTerminalEnd = pe.sevenBit ? 94 : 126;
    int terminalStart = pe.sevenBit ? 95 : 191, terminalEnd = pe.sevenBit ? 126 : 254;
    uint64_t n = 0, weight = 1, base = pe.sevenBit ? 32 : 64;
    int digits = 0;
    bool complete = false, saturated = false;
    while (true) {
        int d = ctx_.peek();
        if (d >= 63 && d <= nonTerminalEnd) {
            if (digits < 10) n += static_cast<uint64_t>(d - 63) * weight;
            else saturated = true;
            weight *= digits < 10 ? base : 1;
            ++digits;
            ++ctx_.pos;
            continue;
        }
        if (d >= terminalStart && d <= terminalEnd) {
            if (digits < 10) n += static_cast<uint64_t>(d - terminalStart) * weight;
            else saturated = true;
            ++ctx_.pos;
            complete = true;
        }
        break;
    }
    if (!complete) {
        ctx_.warn(numberStart, "PE number without its last digit");
        pe.haveX = false;
        return false;
    }
    double magnitude = static_cast<double>(n >> 1);
    if (saturated || magnitude > Decimal::LIMIT) {
        if (!pe.warnedLarge) ctx_.warn(numberStart, "PE number out of range, clamped");
        pe.warnedLarge = true;
        magnitude = Decimal::LIMIT;
    }
    value = (n & 1) ? -magnitude : magnitude;
    return true;
}

// A number read: a pen, the fractional bits, or half of a coordinate pair.
void HpglReader::peValue(PeState& pe, double value, size_t numberStart) {
    if (pe.expect == PeState::Expect::Pen) {
        selectPen(value, numberStart);
        pe.expect = PeState::Expect::Coordinate;
        return;
    }
    if (pe.expect == PeState::Expect::Fraction) {
        if (value < 0 || value > 26) ctx_.warn(numberStart, "PE fractional bits out of range");
        pe.fractionBits = static_cast<int>(std::clamp(value, 0.0, 26.0));
        pe.expect = PeState::Expect::Coordinate;
        return;
    }
    value = std::ldexp(value, -pe.fractionBits);
    if (!pe.haveX) {
        pe.x = value;
        pe.haveX = true;
        return;
    }
    pe.haveX = false;
    Point target = pe.absoluteNext ? toPlotter(pe.x, value)
                                   : Point{sane(pen_.x + deltaToPlotter(pe.x, value).x),
                                           sane(pen_.y + deltaToPlotter(pe.x, value).y)};
    penDown_ = !pe.upNext;
    moveTo(target, !pe.upNext, numberStart);
    pe.upNext = pe.absoluteNext = false;
}

// ---------------------------------------------------------------- set-up

void HpglReader::paperSize(const Params& p) {
    if (p.count() == 0) {
        ctx_.warn(p.offset, "PS without a size ignored");
        return;
    }
    double length = p[0], width = p.count() > 1 ? p[1] : p[0];
    if (!(length > 0) || !(width > 0)) {
        ctx_.warn(p.offset, "PS with a size that is not positive ignored");
        return;
    }
    hasPaper_ = true;
    psLength_ = length;
    psWidth_ = width;
    hardClip_ = {0, 0, std::max(length, width), std::min(length, width)};
    p1_ = {hardClip_.x0, hardClip_.y0};
    p2_ = {hardClip_.x1, hardClip_.y1};
    window_ = false;
    updateTransform(p.offset);
    pages_.setPaper(length, width, hardClip_);
}

void HpglReader::inputP1P2(const Params& p, bool relative) {
    Point lower = hasPaper_ ? Point{hardClip_.x0, hardClip_.y0} : Point{0, 0};
    Point size = hasPaper_ ? Point{hardClip_.x1 - hardClip_.x0, hardClip_.y1 - hardClip_.y0}
                           : Point{11880, 8400};
    auto point = [&](double a, double b) {
        if (relative) return Point{lower.x + size.x * a / 100, lower.y + size.y * b / 100};
        return Point{a, b};
    };
    if (p.count() == 0) {
        p1_ = lower;
        p2_ = {lower.x + size.x, lower.y + size.y};
    } else if (p.count() == 2) {
        Point n = point(p[0], p[1]);
        p2_ = {p2_.x + n.x - p1_.x, p2_.y + n.y - p1_.y};
        p1_ = n;
    } else if (p.count() == 4) {
        p1_ = point(p[0], p[1]);
        p2_ = point(p[2], p[3]);
    } else {
        return warnCount(p, relative ? "IR" : "IP");
    }
    updateTransform(p.offset);
}

void HpglReader::scale(const Params& p) {
    if (p.count() == 0) {
        scaling_ = false;
        updateTransform(p.offset);
        return;
    }
    if (p.count() < 4) return warnCount(p, "SC");
    int type = p.count() > 4 ? static_cast<int>(p[4]) : 0;
    if (type < 0 || type > 2) {
        ctx_.warn(p.offset, "SC type " + numberText(type) + " unknown; ignored");
        return;
    }
    if (type == 2 && (p[1] == 0 || p[3] == 0)) {
        ctx_.warn(p.offset, "SC with a zero factor ignored");
        return;
    }
    for (int i = 0; i < 4; ++i) sc_[i] = p[static_cast<size_t>(i)];
    scaleType_ = type;
    scLeft_ = type == 1 && p.count() > 5 ? std::clamp(p[5], 0.0, 100.0) : 50;
    scBottom_ = type == 1 && p.count() > 6 ? std::clamp(p[6], 0.0, 100.0) : 50;
    scaling_ = true;
    updateTransform(p.offset);
}

void HpglReader::inputWindow(const Params& p) {
    pages_.breakLine();
    if (p.count() == 0) {
        window_ = false;
        return;
    }
    if (p.count() != 4) return warnCount(p, "IW");
    Point a = toPlotter(p[0], p[1]), b = toPlotter(p[2], p[3]);
    windowRect_ = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    window_ = true;
}

void HpglReader::numberOfPens(const Params& p) {
    pages_.breakLine();
    double n = p.count() > 0 ? p[0] : 8;
    if (n < 2 || n > 32768) {
        ctx_.warn(p.offset, "NP " + fixedText(n, 0) + " out of range; ignored");
        return;
    }
    numPens_ = static_cast<int>(std::min(n, 256.0));
    defaultPalette();
}

void HpglReader::colourRange(const Params& p) {
    pages_.breakLine();
    if (p.count() == 0) {
        range_[0] = range_[2] = range_[4] = 0;
        range_[1] = range_[3] = range_[5] = 255;
        return;
    }
    if (p.count() != 6) return warnCount(p, "CR");
    if (p[0] == p[1] || p[2] == p[3] || p[4] == p[5]) {
        ctx_.warn(p.offset, "CR with an empty range ignored");
        return;
    }
    for (int i = 0; i < 6; ++i) range_[i] = p[static_cast<size_t>(i)];
}

void HpglReader::penColour(const Params& p) {
    pages_.breakLine();
    if (p.count() == 0) {
        defaultPalette();
        return;
    }
    double pen = p[0];
    if (pen < 0 || pen >= numPens_) {
        ctx_.warn(p.offset, "PC for pen " + fixedText(pen, 0) + " outside the " + numberText(numPens_) +
                                " pens ignored");
        return;
    }
    int index = static_cast<int>(pen);
    if (p.count() == 1) {
        colours_[index] = defaultPenColour(index);
        return;
    }
    if (p.count() != 4) return warnCount(p, "PC");
    double c[3];
    bool outside = false;
    for (int i = 0; i < 3; ++i) {
        double black = range_[i * 2], white = range_[i * 2 + 1];
        double v = (p[static_cast<size_t>(i) + 1] - black) / (white - black) * 255;
        if (v < -0.5 || v > 255.5) outside = true;
        c[i] = v;
    }
    if (outside) ctx_.warn(p.offset, "PC colour outside the colour range, clamped");
    colours_[index] = {toByte(c[0]), toByte(c[1]), toByte(c[2])};
}

void HpglReader::penWidth(const Params& p) {
    pages_.breakLine();
    double w = p.count() > 0 ? p[0] : 0.35;
    if (w < 0) {
        ctx_.warn(p.offset, "negative pen width ignored");
        return;
    }
    if (widthRelative_ && p.count() > 0) w = w / 100 * diagonal() / UNITS_PER_MM;
    w = std::min(w, 10000.0);
    if (p.count() >= 2) {
        if (p[1] < 0 || p[1] >= numPens_) {
            ctx_.warn(p.offset, "PW for pen " + fixedText(p[1], 0) + " outside the pens ignored");
            return;
        }
        widths_[static_cast<size_t>(p[1])] = w;
        widthGiven_[static_cast<size_t>(p[1])] = true;
    } else {
        widths_.fill(w);
        widthGiven_.fill(true);
    }
}

void HpglReader::lineAttributes(const Params& p) {
    pages_.breakLine();
    if (p.count() == 0) {
        cap_ = LineCap::Butt;
        join_ = LineJoin::Mitered;
        return;
    }
    if (p.count() % 2 != 0) ctx_.warn(p.offset, "LA with an odd number of parameters");
    for (size_t i = 0; i + 1 < p.count(); i += 2) {
        int kind = static_cast<int>(p[i]);
        int value = static_cast<int>(p[i + 1]);
        if (kind == 1 && value >= 1 && value <= 4) {
            cap_ = static_cast<LineCap>(value - 1);
        } else if (kind == 2 && value >= 1 && value <= 6) {
            join_ = static_cast<LineJoin>(value - 1);
        } else if (kind == 3 && p[i + 1] >= 1) {
            // miter limit: joins are drawn with the renderer's own
        } else {
            ctx_.warn(p.offset, "LA " + numberText(kind) + "," + numberText(value) + " ignored");
        }
    }
}

void HpglReader::lineType(const Params& p) {
    pages_.breakLine();
    if (p.count() == 0) {
        if (!solid_) {
            savedSolid_ = false;
            savedLineType_ = lineType_;
        }
        solid_ = true;
        return;
    }
    double type = p[0];
    if (type == 99) {
        solid_ = savedSolid_;
        lineType_ = savedLineType_;
        return;
    }
    if (type != std::floor(type) || type < -8 || type > 8) {
        ctx_.warn(p.offset, "line type " + fixedText(type, 1) + " not known; drawn solid");
        solid_ = true;
        return;
    }
    if (p.count() > 1) {
        if (p[1] > 0) lineLength_ = p[1];
        else ctx_.warn(p.offset, "line type length that is not positive ignored");
    }
    if (p.count() > 2) lineMode_ = p[2] == 1 ? 1 : 0;
    solid_ = false;
    lineType_ = static_cast<int>(type);
}

void HpglReader::polygonMode(const Params& p) {
    pages_.breakLine();
    int mode = p.count() > 0 ? static_cast<int>(p[0]) : 0;
    switch (mode) {
    case 0:
        polygon_.clear();
        polygon_.push_back({pen_});
        polygonMode_ = true;
        newRing_ = false;
        return;
    case 1:
        if (!polygonMode_) ctx_.warn(p.offset, "PM1 outside polygon mode");
        newRing_ = true;
        return;
    case 2:
        if (!polygonMode_) ctx_.warn(p.offset, "PM2 outside polygon mode");
        polygonMode_ = false;
        return;
    default:
        ctx_.warn(p.offset, "PM" + numberText(mode) + " unknown; ignored");
        return;
    }
}

void HpglReader::fillPolygon(const Params& p, size_t offset) {
    if (polygonMode_) ctx_.warn(offset, "FP inside polygon mode");
    Polygon polygon;
    polygon.offset = offset;
    for (const auto& ring : polygon_)
        if (ring.size() >= 3) polygon.rings.push_back(ring);
    if (polygon.rings.empty()) {
        ctx_.warn(offset, "FP with no polygon to fill");
        return;
    }
    polygon.pen = currentPen_;
    polygon.colour = fillColour();
    polygon.evenOdd = !(p.count() > 0 && p[0] == 1);
    polygon.clip = clip();
    pages_.addFill(std::move(polygon));
}

void HpglReader::edgePolygon(size_t offset) {
    if (polygon_.empty()) {
        ctx_.warn(offset, "EP with no polygon");
        return;
    }
    for (const auto& ring : polygon_) {
        if (ring.size() < 2) continue;
        for (size_t i = 0; i < ring.size(); ++i)
            pages_.vector(ring[i], ring[(i + 1) % ring.size()], style(), clip(), offset);
        pages_.breakLine();
    }
}

void HpglReader::fillType(const Params& p) {
    int type = p.count() > 0 ? static_cast<int>(p[0]) : 1;
    if (type == 1 || type == 2) {
        fillType_ = 1;
    } else if (type == 10) {
        fillType_ = 10;
        shading_ = p.count() > 1 ? p[1] : 100;
    } else {
        ctx_.warn(p.offset, "fill type " + numberText(type) + " is drawn solid");
        fillType_ = 1;
    }
}

}  // namespace tavix::preview
