// The pages a job or a plot asks for: IPP's page-ranges ("1-3,5,8-") and
// the older page-set (odd or even), as CUPS passes them in the job's
// options and `tavix plot --pages` takes them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavix::host {

class PageSelection {
public:
    // Reads the two options' values (empty: every page); false with a
    // reason for a value that is not a list of ranges or not odd/even/all.
    bool parse(const std::string& ranges, const std::string& set, std::string& error);
    bool includes(int page) const;
    bool everyPage() const { return ranges_.empty() && parity_ == 0; }

private:
    std::vector<std::pair<int, int>> ranges_;  // inclusive; empty: all
    int parity_ = 0;                           // 1 odd, 2 even, 0 both
};

}  // namespace tavix::host
