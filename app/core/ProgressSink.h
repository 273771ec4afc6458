#pragma once
// Where long operations report their progress: 0 starts the display, 1 to
// 100 move it, 101 ends it (any value above 100 ends it). The GUI drives the
// status bar meter with it, the command line a bar on stderr.

#include <cstdint>

namespace pcn {

inline constexpr int kProgressStart = 0;
inline constexpr int kProgressEnd = 101;

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setProgress(int value) = 0;
};

// part * 100 / whole; while the part exceeds 10,000,000 both are shifted
// right by 3 bits first, so the product cannot overflow. A whole of 0 gives 0.
// Byte counts of files beyond 4 GB are taken whole.
uint32_t progressPercent(uint64_t part, uint64_t whole);

}  // namespace pcn
