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
    // fraction 0..1 of the work named by `stage` (the label when empty).
    void update(double fraction, const std::string& stage = "");
    void finish();

private:
    std::string label_;
    bool enabled_;
    int lastPercent_ = -1;
    std::string lastStage_;
};

}  // namespace tavix::host
