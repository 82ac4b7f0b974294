#include "ticketPens.h"

#include <cmath>
#include <cstdlib>

namespace tavix::preview {
namespace {

constexpr int TICKET_PENS = 255;
constexpr double MAX_WIDTH_HUNDREDTHS = 2540;  // 25.4 mm, the widest pen the settings allow

// The comma-separated values after "Key=", each a whole number, or -1
// where a value is not one.
std::vector<long> values(const std::string& line, size_t from) {
    std::vector<long> out;
    while (from <= line.size() && out.size() < TICKET_PENS) {
        size_t comma = line.find(',', from);
        std::string item = line.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        char* end = nullptr;
        long v = item.empty() ? -1 : std::strtol(item.c_str(), &end, 10);
        out.push_back(item.empty() || *end != '\0' ? -1 : v);
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return out;
}

}  // namespace

Rgb TicketPens::shade(int pen, Rgb c) const {
    if (pen < 0 || pen > 255 || gray[pen] >= 100) return c;
    double k = gray[pen] / 100.0;
    auto mix = [&](uint8_t v) { return static_cast<uint8_t>(std::lround(255 - (255 - v) * k)); };
    return {mix(c.r), mix(c.g), mix(c.b)};
}

TicketPens readTicketPens(const std::vector<std::string>& lines) {
    TicketPens pens;
    bool inSection = false;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            inSection = line == "[HPGL Setting]";
            continue;
        }
        if (!inSection) continue;
        bool width = line.rfind("Width=", 0) == 0, gray = line.rfind("Gray=", 0) == 0;
        if (!width && !gray) continue;
        std::vector<long> v = values(line, width ? 6 : 5);
        for (size_t i = 0; i < v.size(); ++i) {
            size_t pen = i + 1;
            if (width && v[i] > 0 && v[i] <= MAX_WIDTH_HUNDREDTHS) pens.widthMm[pen] = v[i] / 100.0;
            if (gray && v[i] >= 0 && v[i] <= 100) pens.gray[pen] = static_cast<int>(v[i]);
        }
    }
    return pens;
}

}  // namespace tavix::preview
