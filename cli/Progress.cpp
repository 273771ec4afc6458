#include "cli/Progress.h"

#include <algorithm>
#include <cstdio>

#include "cli/Output.h"

namespace pcn::cli {

ProgressBar::ProgressBar(std::string label)
    : label_(std::move(label)), shown_(showsProgress()), inPlace_(shown_ && stderrIsTerminal()) {}

ProgressBar::~ProgressBar() {
    if (!finished_ && inPlace_ && lastPrinted_ >= 0) std::fputc('\n', stderr);
}

// One line that never wraps, so that each redraw replaces the last one
// instead of filling the scrollback; the detail gives way first.
void ProgressBar::drawInPlace(int percent, const std::string& detail) {
    const int columns = terminalColumns();
    const int width = std::clamp(columns / 4, 10, 30);
    const int filled = percent * width / 100;
    std::string line = label_ + " [" + std::string(filled, '#') + std::string(width - filled, '.') + "] ";
    char number[8];
    std::snprintf(number, sizeof number, "%3d%% ", percent);
    line += number;
    line += detail;
    // "\r" goes back, "\x1b[K" clears what a longer line left on the right.
    std::fprintf(stderr, "\r%s\x1b[K", fitToColumns(line, size_t(std::max(columns - 1, 1))).c_str());
    std::fflush(stderr);
}

void ProgressBar::update(int percent, const std::string& detail) {
    if (!shown_) return;
    percent = std::clamp(percent, 0, 100);
    if (inPlace_) {
        drawInPlace(percent, detail);
        lastPrinted_ = percent;
    } else if (percent / 10 != lastPrinted_ / 10 || lastPrinted_ < 0) {
        std::fprintf(stderr, "%s %3d%% %s\n", label_.c_str(), percent, detail.c_str());
        lastPrinted_ = percent;
    }
}

void ProgressBar::finish(const std::string& detail) {
    update(100, detail);
    if (inPlace_ && lastPrinted_ >= 0) std::fputc('\n', stderr);
    finished_ = true;
}

}  // namespace pcn::cli
