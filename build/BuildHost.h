#pragma once
// Where a running build shows its progress: the step line, the phase title,
// the percent text with its bar, and the byte counts of the compression. The
// GUI's build page and rebuild dialog, the command line's progress bar and
// the tests each implement what they show; every report has a do-nothing
// default so that a host shows only what it has room for.

#include <cstdint>
#include <string_view>

namespace pcn {

class BuildHost {
public:
    virtual ~BuildHost() = default;

    // The current step ("Adding: %s", status texts).
    virtual void setStepText(std::string_view) {}
    // The phase title ("Building Cabinet Files", ...).
    virtual void setPhaseTitle(std::string_view) {}
    // The percent text "%d%%" and the progress bar, 0 to 100.
    virtual void setPercent(int) {}
    // Running totals of the compressor: bytes written and bytes read.
    virtual void setByteTotals(uint32_t /*compressed*/, uint32_t /*processed*/) {}
};

}  // namespace pcn
