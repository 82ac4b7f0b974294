#include "pageRanges.h"

#include <strings.h>

#include <climits>
#include <cstdlib>

namespace tavix::host {
namespace {

// A page number: digits only, 1 or more, within int.
bool number(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::atoi(text.c_str());
    return value >= 1;
}

}  // namespace

bool PageSelection::parse(const std::string& ranges, const std::string& set, std::string& error) {
    ranges_.clear();
    parity_ = 0;
    if (set.empty() || strcasecmp(set.c_str(), "all") == 0) {
        parity_ = 0;
    } else if (strcasecmp(set.c_str(), "odd") == 0) {
        parity_ = 1;
    } else if (strcasecmp(set.c_str(), "even") == 0) {
        parity_ = 2;
    } else {
        error = "page-set \"" + set + "\" is not odd, even or all.";
        return false;
    }
    size_t start = 0;
    while (start < ranges.size()) {
        size_t comma = ranges.find(',', start);
        if (comma == std::string::npos) comma = ranges.size();
        std::string item = ranges.substr(start, comma - start);
        size_t dash = item.find('-');
        int first = 0, last = 0;
        bool ok;
        if (dash == std::string::npos) {
            ok = number(item, first);
            last = first;
        } else {
            // "-5" from the first page, "8-" to the last.
            std::string a = item.substr(0, dash), b = item.substr(dash + 1);
            ok = (a.empty() ? (first = 1, true) : number(a, first)) &&
                 (b.empty() ? (last = INT_MAX, true) : number(b, last)) && first <= last;
        }
        if (!ok) {
            error = "page-ranges \"" + ranges + "\" is not a list of pages such as 1-3,5,8-.";
            ranges_.clear();
            return false;
        }
        ranges_.emplace_back(first, last);
        start = comma + 1;
    }
    return true;
}

bool PageSelection::includes(int page) const {
    if (parity_ == 1 && page % 2 == 0) return false;
    if (parity_ == 2 && page % 2 == 1) return false;
    if (ranges_.empty()) return true;
    for (const auto& [first, last] : ranges_)
        if (page >= first && page <= last) return true;
    return false;
}

}  // namespace tavix::host
