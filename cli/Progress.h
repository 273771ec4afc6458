#pragma once
// A one-line progress bar on stderr for long commands; redrawn in place when
// stderr is a terminal, printed every ten percent otherwise (logs of CI runs).

#include <cstdint>
#include <string>

#include "platform/Numbers.h"

namespace pcn::cli {

class ProgressBar {
public:
    explicit ProgressBar(std::string label);
    ~ProgressBar();

    // percent 0..100; detail is printed after the bar (current file, byte counts).
    void update(int percent, const std::string& detail = {});
    void finish(const std::string& detail = {});

private:
    std::string label_;
    bool terminal_;
    int lastPrinted_ = -1;
    bool finished_ = false;
};

using pcn::groupDigits;

}  // namespace pcn::cli
