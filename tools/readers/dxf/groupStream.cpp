#include "groupStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace tavix::dxf {
namespace {

constexpr size_t CHUNK = 1 << 16;

std::string_view lineEndRemoved(std::string_view s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool inRange(int code, int lo, int hi) { return code >= lo && code <= hi; }

}  // namespace

GroupValue groupValueOf(int code) {
    if (inRange(code, 10, 59) || inRange(code, 110, 149) || inRange(code, 210, 239) ||
        inRange(code, 460, 469) || inRange(code, 1010, 1059))
        return GroupValue::Real;
    if (inRange(code, 60, 99) || inRange(code, 160, 179) || inRange(code, 270, 299) ||
        inRange(code, 370, 389) || inRange(code, 400, 409) || inRange(code, 420, 429) ||
        inRange(code, 440, 459) || inRange(code, 1060, 1071))
        return GroupValue::Integer;
    return GroupValue::Text;
}

std::string shortened(std::string_view text) {
    if (text.size() <= 40) return std::string(text);
    return std::string(text.substr(0, 37)) + "...";
}

GroupStream::GroupStream(std::FILE* f) : file(f), buffer(CHUNK) {}

void GroupStream::fail(const std::string& what, int at) {
    if (!errorText.empty()) return;
    errorText = "line " + std::to_string(at > 0 ? at : lineNumber) + ": " + what;
}

bool GroupStream::fillBuffer() {
    if (begin > 0) {
        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        end -= begin;
        begin = 0;
    }
    if (end == buffer.size()) {
        if (buffer.size() >= LONGEST_LINE) return false;
        buffer.resize(buffer.size() * 2);
    }
    size_t got = std::fread(buffer.data() + end, 1, buffer.size() - end, file);
    if (got == 0) atEof = true;
    end += got;
    return true;
}

GroupStream::int_type GroupStream::underflow() {
    if (failed()) return traits_type::eof();
    for (;;) {
        const char* start = buffer.data() + begin;
        const void* nl = std::memchr(start, '\n', end - begin);
        if (nl != nullptr || (atEof && end > begin)) {
            size_t length = nl ? static_cast<const char*>(nl) - start + 1 : end - begin;
            char* first = buffer.data() + begin;
            begin += length;
            ++lineNumber;
            // A UTF-8 byte-order mark before the first group is not part of it.
            if (lineNumber == 1 && std::string_view(first, length).substr(0, 3) == "\xEF\xBB\xBF") {
                first += 3;
                length -= 3;
            }
            shortenLine = lineEndRemoved(std::string_view(first, length)).size() > LONGEST_LIBRARY_LINE;
            checkLine(std::string_view(first, length));
            if (failed()) return traits_type::eof();
            if (shortenLine) {
                shortLine += '\n';
                setg(shortLine.data(), shortLine.data(), shortLine.data() + shortLine.size());
                return traits_type::to_int_type(shortLine[0]);
            }
            setg(first, first, first + length);
            return traits_type::to_int_type(*first);
        }
        if (atEof) return traits_type::eof();
        if (!fillBuffer()) {
            ++lineNumber;
            fail("the line is longer than " + std::to_string(LONGEST_LINE) + " characters: this is not a DXF file");
            return traits_type::eof();
        }
    }
}

bool GroupStream::checkNumber(int code, std::string_view value, double& out) {
    GroupValue kind = groupValueOf(code);
    if (kind == GroupValue::Text) return true;
    const char* first = value.data();
    const char* last = first + value.size();
    if (first != last && *first == '+') ++first;
    if (kind == GroupValue::Integer) {
        long long v = 0;
        auto r = std::from_chars(first, last, v);
        if (r.ec != std::errc() || r.ptr != last || value.empty()) {
            fail("'" + shortened(value) + "' is not a whole number (group code " + std::to_string(code) + ")");
            return false;
        }
        if (v < -2147483648LL || v > 2147483647LL) {
            fail("the number " + shortened(value) + " is out of range (group code " + std::to_string(code) + ")");
            return false;
        }
        out = static_cast<double>(v);
        return true;
    }
    auto r = std::from_chars(first, last, out);
    if (r.ec == std::errc::result_out_of_range) {
        fail("the number " + shortened(value) + " is out of range (group code " + std::to_string(code) + ")");
        return false;
    }
    if (r.ec != std::errc() || r.ptr != last || value.empty()) {
        fail("'" + shortened(value) + "' is not a number (group code " + std::to_string(code) + ")");
        return false;
    }
    if (!std::isfinite(out)) {
        fail("'" + shortened(value) + "' is not a finite number (group code " + std::to_string(code) + ")");
        return false;
    }
    // The header keeps "unset" markers such as 1e20; the geometry must stay in
    // range. Extended data (1000 and up) belongs to applications, not to the plot.
    if ((sectionName == "ENTITIES" || sectionName == "BLOCKS") && code < 1000 &&
        std::fabs(out) > LARGEST_DRAWING_VALUE) {
        fail("the value " + shortened(value) + " is too large for a drawing (at most 1e10, group code " +
             std::to_string(code) + ")");
        return false;
    }
    return true;
}

// The line dxflib gets for a long one: a group code, or the value of `group`
// (a number in its shortest exact form, or the start of the text).
void GroupStream::shortenFor(std::string_view value, const Group* group) {
    if (!shortenLine) return;
    if (group == nullptr || groupValueOf(group->code) == GroupValue::Text) {
        size_t keep = std::min(value.size(), LONGEST_LIBRARY_LINE);
        while (keep > 0 && keep < value.size() && (static_cast<unsigned char>(value[keep]) & 0xC0) == 0x80) --keep;
        shortLine.assign(value.substr(0, keep));
        return;
    }
    char digits[32];
    auto r = std::to_chars(digits, digits + sizeof digits, group->number);
    shortLine.assign(digits, r.ptr);
}

void GroupStream::checkLine(std::string_view text) {
    std::string_view v = trimmed(text);
    if (!expectValue) {
        int code = 0;
        auto r = std::from_chars(v.data(), v.data() + v.size(), code);
        if (r.ec != std::errc() || r.ptr != v.data() + v.size() || v.empty() || code < 0 || code > 1071) {
            fail("'" + shortened(v) + "' is not a group code (a whole number from 0 to 1071)");
            return;
        }
        pendingCode = code;
        expectValue = true;
        shortenFor(v, nullptr);
        return;
    }
    expectValue = false;
    Group g;
    g.code = pendingCode;
    g.value = v;
    g.text = lineEndRemoved(text);
    g.line = lineNumber;
    if (g.code == 999) return shortenFor(g.text, nullptr);  // a comment
    if (!checkNumber(g.code, v, g.number)) return;
    shortenFor(g.text, &g);
    if (g.code == 0) {
        sectionNameNext = v == "SECTION";
        if (v == "ENDSEC") sectionName.clear();
        else if (v == "EOF") endSeen = true;
    } else {
        if (g.code == 2 && sectionNameNext) sectionName = std::string(v);
        sectionNameNext = false;
    }
    if (onGroup) onGroup(g);
}

void GroupStream::finish() {
    if (failed()) return;
    if (expectValue) {
        fail("the file ends after group code " + std::to_string(pendingCode) + " without its value: it is truncated");
        return;
    }
    if (!endSeen) fail("the file ends without its end marker (0, EOF): it is truncated");
}

}  // namespace tavix::dxf
