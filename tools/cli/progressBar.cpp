#include "progressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace tavix::host {

ProgressBar::ProgressBar(std::string label, bool wanted)
    : label_(std::move(label)), enabled_(wanted && isatty(2) != 0) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update(double fraction, const std::string& stage) {
    if (!enabled_ || !(fraction >= 0)) return;
    const std::string& name = stage.empty() ? label_ : stage;
    int percent = static_cast<int>(std::min(fraction, 1.0) * 100);
    if (percent == lastPercent_ && name == lastStage_) return;
    lastPercent_ = percent;
    lastStage_ = name;
    constexpr int WIDTH = 40;
    constexpr int NAME_WIDTH = 20;  // a shorter name is padded, so a longer one before is wiped
    int filled = percent * WIDTH / 100;
    std::fprintf(stderr, "\r%-*.*s [", NAME_WIDTH, NAME_WIDTH, name.c_str());
    for (int i = 0; i < WIDTH; ++i) std::fputc(i < filled ? '#' : ' ', stderr);
    std::fprintf(stderr, "] %3d%%", percent);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (enabled_ && lastPercent_ >= 0) std::fputc('\n', stderr);
    lastPercent_ = -1;
    lastStage_.clear();
}

}  // namespace tavix::host
