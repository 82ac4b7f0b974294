// A progress bar on standard error, drawn only when it is a terminal.
#pragma once

#include <cstddef>
#include <string>

namespace tavix::host {

class ProgressBar {
public:
    // Drawn only when `wanted` and standard error is a terminal.
    explicit ProgressBar(std::string label, bool wanted = true);
    ~ProgressBar();
    void update(size_t done, size_t total);
    void finish();

private:
    std::string label_;
    bool enabled_;
    int lastPercent_ = -1;
};

}  // namespace tavix::host
