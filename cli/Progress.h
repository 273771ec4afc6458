#pragma once
// A one-line progress bar on stderr for long commands: redrawn in place,
// cut to the terminal's width, when stderr is a terminal; printed every ten
// percent with --progress=always otherwise (logs of CI runs); not at all with
// --progress=never, -q, or (by default) when nobody watches stderr.

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
    void drawInPlace(int percent, const std::string& detail);

    std::string label_;
    bool shown_;
    bool inPlace_;
    int lastPrinted_ = -1;
    bool finished_ = false;
};

using pcn::groupDigits;

}  // namespace pcn::cli
