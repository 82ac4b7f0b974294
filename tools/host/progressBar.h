// A progress bar on standard error, drawn only when it is a terminal.
#pragma once

#include <cstddef>
#include <string>

namespace tavix::host {

class ProgressBar {
public:
    explicit ProgressBar(std::string label);
    ~ProgressBar();
    void update(size_t done, size_t total);
    void finish();

private:
    std::string label_;
    bool enabled_;
    int lastPercent_ = -1;
};

}  // namespace tavix::host
