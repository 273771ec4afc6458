#pragma once
// Numbers as the user reads and types them: digits grouped by threes.

#include <cstdint>
#include <string>
#include <string_view>

namespace pcn {

// 1440000 -> "1,440,000"
std::string groupDigits(uint64_t value);

// The number a user typed with or without grouping commas: every "," is
// dropped and the decimal digits up to the first other character are read
// ("3,000,000" -> 3000000, "12kb" -> 12, "" -> 0). Values beyond the 32-bit
// range are clamped to its maximum.
int32_t groupedNumberValue(std::string_view text);

}  // namespace pcn
