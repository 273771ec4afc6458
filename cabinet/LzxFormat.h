#pragma once
// Constants and tables of the LZX format as cabinets use it.

#include <array>
#include <cstdint>

namespace pcn::cabinet::lzx {

inline constexpr uint32_t kFrameSize = 32768;
inline constexpr unsigned kLiterals = 256;
inline constexpr unsigned kMinMatch = 2;
inline constexpr unsigned kMaxMatch = 257;
inline constexpr unsigned kPrimaryLengths = 7;  // length headers 0..6 in the main symbol; 7: length tree follows
inline constexpr unsigned kLengthSymbols = 249;
inline constexpr unsigned kAlignedSymbols = 8;
inline constexpr unsigned kPretreeSymbols = 20;
inline constexpr unsigned kMaxSlots = 50;
inline constexpr unsigned kMaxMainSymbols = kLiterals + 8 * kMaxSlots;
inline constexpr unsigned kMaxCodeLength = 16;
inline constexpr unsigned kMaxPretreeLength = 15;  // four bits per length
inline constexpr unsigned kMaxAlignedLength = 7;   // three bits per length
inline constexpr unsigned kRecentOffsets = 3;

inline constexpr unsigned kBlockVerbatim = 1;
inline constexpr unsigned kBlockAligned = 2;
inline constexpr unsigned kBlockUncompressed = 3;

// Call translation: the size announced in the stream header, and the number
// of frames from the start of the folder that are translated.
inline constexpr uint32_t kTranslationSize = 12000000;
inline constexpr uint64_t kTranslatedFrames = 32768;

struct SlotTables {
    std::array<uint32_t, kMaxSlots> base{};
    std::array<uint8_t, kMaxSlots> extraBits{};
};

constexpr SlotTables makeSlotTables() {
    SlotTables t;
    uint32_t base = 0;
    for (unsigned slot = 0; slot < kMaxSlots; ++slot) {
        const unsigned bits = slot < 4 ? 0 : slot >= 36 ? 17 : slot / 2 - 1;
        t.extraBits[slot] = uint8_t(bits);
        t.base[slot] = base;
        base += uint32_t(1) << bits;
    }
    return t;
}
inline constexpr SlotTables kSlots = makeSlotTables();

// Position slots a window of 2^bits needs.
constexpr unsigned slotCount(unsigned windowBits) {
    return windowBits == 21 ? 50 : windowBits == 20 ? 42 : 2 * windowBits;
}

// The slot of a formatted offset (match offset + 2, at least 3).
inline unsigned slotOf(uint32_t formatted) {
    if (formatted >= (uint32_t(1) << 18)) return 36 + ((formatted - (uint32_t(1) << 18)) >> 17);
    if (formatted < 4) return formatted;
    const unsigned high = 31 - unsigned(__builtin_clz(formatted));
    return 2 * high + ((formatted >> (high - 1)) & 1);
}

}  // namespace pcn::cabinet::lzx
