#include "streamParser.h"

#include "escapeReader.h"
#include "hpglReader.h"
#include "pageBuilder.h"
#include "rtlReader.h"
#include "streamContext.h"

namespace tavix::preview {
namespace {

constexpr std::string_view TICKET_START = "##DOZ START";
constexpr std::string_view TICKET_END = "##DOZ END";
constexpr size_t MAX_TICKET_LINES = 2000;
constexpr size_t MAX_PJL_LINES = 200;
constexpr size_t MAX_LINE_KEPT = 8192;

enum class Mode { Job, Hpgl, Rtl };

class StreamReader {
public:
    explicit StreamReader(StreamContext&& ctx)
        : ctx_(std::move(ctx)), pages_(ctx_), hpgl_(ctx_, pages_), rtl_(ctx_, pages_) {}

    void run();
    size_t bytesRead() const { return ctx_.size(); }

private:
    void jobData();
    void ticket();
    bool repeatsTicket(size_t start);
    void pjlLine();
    void escape();
    void onCommand(const EscCommand& command);
    void switchTo(Mode mode, size_t offset);

    StreamContext ctx_;
    PageBuilder pages_;
    HpglReader hpgl_;
    RtlReader rtl_;
    Mode mode_ = Mode::Job;
    bool warnedNoSwitch_ = false;
    // A universal exit after an ended page: the next job begins, and its
    // ticket may repeat the one already read.
    bool nextJob_ = false;
};

void StreamReader::run() {
    while (!ctx_.atEnd()) {
        ctx_.release();
        if (ctx_.peek() == 0x1B) {
            escape();
            continue;
        }
        switch (mode_) {
        case Mode::Job: jobData(); break;
        case Mode::Hpgl: hpgl_.run(); break;
        case Mode::Rtl: rtl_.strayBytes(); break;
        }
    }
    size_t end = ctx_.size();
    if (mode_ == Mode::Rtl) {
        rtl_.endRaster(end, true);
        ctx_.warn(end, "data ends in HP RTL without returning to HP-GL/2 (ESC%0B)");
    }
    hpgl_.leave();
    pages_.finish();
    ParsedStream& out = ctx_.out();
    if (!out.pages.empty() && !out.pages.back().ended)
        ctx_.warn(end, "data ends without PG: the last page is not ended");
}

void StreamReader::jobData() {
    int c = ctx_.peek();
    if (ctx_.startsWith(TICKET_START)) return ticket();
    if (ctx_.startsWith("@PJL")) return pjlLine();
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == 0 || c == '=') {
        ++ctx_.pos;
        return;
    }
    if (!warnedNoSwitch_) {
        ctx_.warn(ctx_.pos, "data before any language switch is read as HP-GL/2");
        warnedNoSwitch_ = true;
    }
    mode_ = Mode::Hpgl;
}

void StreamReader::ticket() {
    ParsedStream& out = ctx_.out();
    size_t start = ctx_.pos;
    // A later job's ticket that repeats the first adds nothing; any other
    // second ticket is added to the first, which is the one shown.
    bool repeat = false;
    if (out.ticketPresent) {
        repeat = nextJob_ && repeatsTicket(start);
        if (!repeat) ctx_.warn(start, "a second job ticket; its lines are added to the first");
    }
    nextJob_ = false;
    out.ticketPresent = true;
    size_t heldLines = out.ticket.size();
    ctx_.pos += TICKET_START.size();
    if (ctx_.startsWith("\r\n")) ctx_.pos += 2;
    else if (ctx_.startsWith("\n")) ctx_.pos += 1;
    else ctx_.warn(ctx_.pos, "job ticket start line not ended with CR LF");
    size_t budget = ctx_.limits().maxTicketBytes;
    while (true) {
        if (ctx_.atEnd()) {
            ctx_.warn(ctx_.pos, "data ends inside the job ticket (no ##DOZ END)");
            return;
        }
        if (ctx_.peek() == 0x1B) {
            ctx_.warn(ctx_.pos, "job ticket not closed with ##DOZ END");
            return;
        }
        if (ctx_.startsWith(TICKET_END)) {
            ctx_.pos += TICKET_END.size();
            if (ctx_.startsWith("\r\n===")) ctx_.pos += 5;
            else ctx_.warn(ctx_.pos, "##DOZ END not followed by CR LF and \"===\"");
            if (repeat) out.ticket.resize(heldLines);
            return;
        }
        size_t lineStart = ctx_.pos;
        while (!ctx_.atEnd() && ctx_.peek() != '\n' && ctx_.peek() != 0x1B && ctx_.pos - start <= budget) ++ctx_.pos;
        size_t lineEnd = ctx_.pos;
        bool ended = ctx_.peek() == '\n';
        if (ended) ++ctx_.pos;
        else if (!ctx_.atEnd()) ctx_.warn(lineStart, "job ticket line without its line end");
        std::string_view line = ctx_.bytes(lineStart, lineEnd - lineStart);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        else if (ended) ctx_.warn(lineStart, "job ticket line ended with LF alone");
        size_t used = ctx_.pos - start;
        if (used > budget) {
            ctx_.warn(lineStart, "job ticket too long; the rest is skipped");
            while (!ctx_.atEnd() && ctx_.peek() != 0x1B && !ctx_.startsWith(TICKET_END)) ctx_.skip(1);
            continue;
        }
        if (out.ticket.size() < MAX_TICKET_LINES)
            out.ticket.emplace_back(line.substr(0, MAX_LINE_KEPT));
    }
}

// Whether the ticket at `start` holds, line for line, the ticket already
// read (and so is a later job's copy of it).
bool StreamReader::repeatsTicket(size_t start) {
    std::string expected(TICKET_START);
    expected += "\r\n";
    for (const std::string& line : ctx_.out().ticket) expected += line + "\r\n";
    expected += std::string(TICKET_END) + "\r\n===";
    if (ctx_.pos != start || ctx_.ensure(expected.size()) < expected.size()) return false;
    return ctx_.bytes(start, expected.size()) == expected;
}

void StreamReader::pjlLine() {
    size_t start = ctx_.pos;
    while (!ctx_.atEnd() && ctx_.peek() != '\n' && ctx_.peek() != 0x1B && ctx_.pos - start < MAX_LINE_KEPT) ++ctx_.pos;
    std::string line(ctx_.bytes(start, ctx_.pos - start));
    while (!ctx_.atEnd() && ctx_.peek() != '\n' && ctx_.peek() != 0x1B) ctx_.skip(1);  // past what is kept
    if (ctx_.peek() == '\n') ++ctx_.pos;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ParsedStream& out = ctx_.out();
    if (out.pjl.size() < MAX_PJL_LINES) out.pjl.push_back(line);

    // "@PJL ENTER LANGUAGE = HPGL2": spaces around '=' are optional.
    std::string text;
    for (char ch : std::string_view(line).substr(0, 256))
        if (ch != ' ' && ch != '\t') text += static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    const std::string enter = "@PJLENTERLANGUAGE=";
    if (text.rfind(enter, 0) != 0) return;
    std::string language = text.substr(enter.size());
    if (language == "HPGL2" || language == "HPGL/2") switchTo(Mode::Hpgl, start);
    else if (language == "RTL" || language == "PCL" || language == "PCL5" || language == "PCL3GUI")
        switchTo(Mode::Rtl, start);
    else ctx_.warn(start, "PJL language " + language + " is not read by the preview");
}

void StreamReader::switchTo(Mode mode, size_t offset) {
    if (mode_ == mode) return;
    if (mode_ == Mode::Hpgl) hpgl_.leave();
    if (mode_ == Mode::Rtl && mode != Mode::Rtl) rtl_.endRaster(offset, true);
    if (mode == Mode::Rtl) rtl_.enter(hpgl_.rtlFrame(), hpgl_.pen(), true);
    mode_ = mode;
}

void StreamReader::escape() {
    readEscape(ctx_, [this](const EscCommand& command) { onCommand(command); });
}

void StreamReader::onCommand(const EscCommand& c) {
    if (c.family == '.') return;  // serial plotter handshake strings
    if (c.family == '%' && c.group == 0) {
        int v = c.intValue();
        if (c.letter == 'X' && v == -12345) {
            const auto& pages = ctx_.out().pages;
            nextJob_ = !pages.empty() && pages.back().ended;
            if (mode_ == Mode::Hpgl) hpgl_.leave();
            if (mode_ == Mode::Rtl) rtl_.endRaster(c.offset, true);
            mode_ = Mode::Job;
            return;
        }
        if (c.letter == 'A') {  // enter HP RTL (PCL): 1 = at the HP-GL/2 pen
            if (mode_ == Mode::Hpgl) hpgl_.leave();
            if (mode_ != Mode::Rtl) rtl_.enter(hpgl_.rtlFrame(), hpgl_.pen(), v == 1);
            mode_ = Mode::Rtl;
            return;
        }
        if (c.letter == 'B') {  // enter HP-GL/2: 1 = at the raster cursor
            if (mode_ == Mode::Rtl) {
                rtl_.endRaster(c.offset, true);
                if (v == 1) hpgl_.setPen(rtl_.cursor());
            }
            mode_ = Mode::Hpgl;
            return;
        }
        ctx_.warn(c.offset, "unknown escape sequence " + describeCommand(c));
        return;
    }
    if (mode_ == Mode::Rtl) return rtl_.command(c);
    if (c.family == 0 && c.letter == 'E') {
        rtl_.reset();
        return;
    }
    ctx_.warn(c.offset, "escape sequence " + describeCommand(c) + " outside HP RTL ignored");
}

}  // namespace

ParsedStream parseStream(std::string_view bytes, const ParseLimits& limits) {
    ParsedStream out;
    out.byteCount = bytes.size();
    StreamReader reader(StreamContext(bytes, limits, out));
    reader.run();
    return out;
}

ParsedStream parseStream(StreamSource source, const ParseLimits& limits) {
    ParsedStream out;
    StreamReader reader(StreamContext(std::move(source), limits, out));
    reader.run();
    out.byteCount = reader.bytesRead();
    return out;
}

}  // namespace tavix::preview
