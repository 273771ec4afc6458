#include "cli/Progress.h"

#include <cstdio>
#include <unistd.h>

namespace pcn::cli {

ProgressBar::ProgressBar(std::string label) : label_(std::move(label)), terminal_(::isatty(2)) {}

ProgressBar::~ProgressBar() {
    if (!finished_ && terminal_ && lastPrinted_ >= 0) std::fputc('\n', stderr);
}

void ProgressBar::update(int percent, const std::string& detail) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    if (terminal_) {
        constexpr int width = 30;
        int filled = percent * width / 100;
        std::string bar(filled, '#');
        bar.append(width - filled, '.');
        std::string line = detail.substr(0, 60);
        std::fprintf(stderr, "\r%s [%s] %3d%% %-60s", label_.c_str(), bar.c_str(), percent, line.c_str());
        std::fflush(stderr);
        lastPrinted_ = percent;
    } else if (percent / 10 != lastPrinted_ / 10 || lastPrinted_ < 0) {
        std::fprintf(stderr, "%s %3d%% %s\n", label_.c_str(), percent, detail.c_str());
        lastPrinted_ = percent;
    }
}

void ProgressBar::finish(const std::string& detail) {
    update(100, detail);
    if (terminal_) std::fputc('\n', stderr);
    finished_ = true;
}

}  // namespace pcn::cli
