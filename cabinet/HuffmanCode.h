#pragma once
// Length-limited canonical prefix codes, as the LZX trees use them: codes are
// given out shortest first and, within one length, in symbol order.

#include <cstddef>
#include <cstdint>

namespace pcn::cabinet {

// Code lengths of at most maxLength bits for symbols [0, count) from their
// frequencies. The code is always complete: when fewer than two symbols occur,
// unused symbols are given length 1 to fill it, since readers reject
// incomplete trees.
void buildCodeLengths(const uint32_t* frequencies, size_t count, unsigned maxLength, uint8_t* lengths);

// Canonical code values for the given lengths (0: symbol unused).
void buildCanonicalCodes(const uint8_t* lengths, size_t count, uint16_t* codes);

}  // namespace pcn::cabinet
