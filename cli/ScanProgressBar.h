#pragma once
// The dependency scan's progress on the terminal: its status text on a
// progress line on stderr.

#include <string>
#include <string_view>

#include "cli/Progress.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::cli {

class TerminalScanProgress : public pcn::web::ScanProgress {
public:
    void setPosition(int position) override { bar_.update(position, status_); }
    void setStatus(std::string_view text) override { status_ = text; }
    void finish() { bar_.finish(status_); }

private:
    ProgressBar bar_{"Scanning"};
    std::string status_;
};

}  // namespace pcn::cli
