#include "app/core/ProgressSink.h"

namespace pcn {

uint32_t progressPercent(uint64_t part, uint64_t whole) {
    while (part > 10000000u) {
        part >>= 3;
        whole >>= 3;
    }
    if (whole == 0) return 0;
    return static_cast<uint32_t>(part * 100u / whole);
}

}  // namespace pcn
