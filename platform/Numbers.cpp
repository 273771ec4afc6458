#include "platform/Numbers.h"

#include <algorithm>
#include <limits>

namespace pcn {

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

int32_t groupedNumberValue(std::string_view text) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (char c : text) {
        if (c == ',') continue;
        if (c < '0' || c > '9') break;
        value = std::min(kMax, value * 10 + (c - '0'));
    }
    return static_cast<int32_t>(value);
}

}  // namespace pcn
