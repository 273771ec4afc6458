#include "app/core/ProgressSink.h"

namespace pcn {

uint32_t progressPercent(uint32_t part, uint32_t whole) {
    while (part > 10000000u) {
        part >>= 3;
        whole >>= 3;
    }
    if (whole == 0) return 0;
    return part * 100u / whole;
}

std::string groupDigits(uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace pcn
