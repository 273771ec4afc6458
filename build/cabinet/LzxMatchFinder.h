#pragma once
// Hash chains over the encoder's window buffer: every position links to the
// previous one with the same three leading bytes. Positions are buffer
// indices; when the buffer slides, rebase() moves the chains with it.

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <vector>

namespace pcn::cabinet::lzx {

struct Match {
    uint32_t length;
    uint32_t offset;
};

// Bytes that agree from a and b on, up to max.
inline uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t max) {
    uint32_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (n + 8 <= max) {
            uint64_t x, y;
            std::memcpy(&x, a + n, 8);
            std::memcpy(&y, b + n, 8);
            if (x != y) return n + (unsigned(__builtin_ctzll(x ^ y)) >> 3);
            n += 8;
        }
    }
    while (n < max && a[n] == b[n]) ++n;
    return n;
}

class HashChains {
public:
    HashChains(std::pmr::memory_resource* memory, uint32_t capacity);

    void reset();
    // Moves every link `shift` positions down; links that fall off are cut.
    void rebase(uint32_t shift);

    // Links position p (which needs p + 3 <= end of data) into its chain.
    void insert(const uint8_t* buffer, uint32_t p) {
        const uint32_t h = hash(buffer + p);
        prev_[p] = head_[h];
        head_[h] = int32_t(p);
    }

    // Links p and reports, in order of growing length, each match at p that
    // is longer than every one before it (at least 3 bytes, at most maxLength,
    // offsets up to maxOffset). Stops at niceLength or after `depth` links.
    template <typename Sink>
    void search(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, unsigned depth,
                uint32_t niceLength, Sink&& sink) {
        const uint32_t h = hash(buffer + p);
        int32_t candidate = head_[h];
        prev_[p] = candidate;
        head_[h] = int32_t(p);
        uint32_t best = 2;
        const uint8_t* here = buffer + p;
        for (; candidate >= 0 && depth > 0; --depth, candidate = prev_[uint32_t(candidate)]) {
            const uint32_t offset = p - uint32_t(candidate);
            if (offset > maxOffset) break;
            const uint8_t* there = buffer + candidate;
            if (there[best] != here[best] || there[0] != here[0]) continue;
            const uint32_t length = matchLength(here, there, maxLength);
            if (length > best) {
                best = length;
                sink(Match{length, offset});
                if (length >= niceLength || length == maxLength) break;
            }
        }
    }

private:
    static constexpr unsigned kHashBits = 17;
    static uint32_t hash(const uint8_t* p) {
        const uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    std::pmr::vector<int32_t> head_;
    std::pmr::vector<int32_t> prev_;
};

}  // namespace pcn::cabinet::lzx
