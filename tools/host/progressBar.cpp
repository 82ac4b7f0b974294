#include "progressBar.h"

#include <unistd.h>

#include <cstdio>

namespace tavix::host {

ProgressBar::ProgressBar(std::string label, bool wanted)
    : label_(std::move(label)), enabled_(wanted && isatty(2) != 0) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update(size_t done, size_t total) {
    if (!enabled_ || total == 0) return;
    int percent = static_cast<int>(done * 100 / total);
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    constexpr int WIDTH = 40;
    int filled = percent * WIDTH / 100;
    std::fprintf(stderr, "\r%s [", label_.c_str());
    for (int i = 0; i < WIDTH; ++i) std::fputc(i < filled ? '#' : ' ', stderr);
    std::fprintf(stderr, "] %3d%%", percent);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (enabled_ && lastPercent_ >= 0) std::fputc('\n', stderr);
    lastPercent_ = -1;
}

}  // namespace tavix::host
