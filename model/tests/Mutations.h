#pragma once
// Damaged copies of a well-formed file: every truncation, and a fixed,
// reproducible series of byte mutations (random bytes, bit flips and the
// values that length prefixes and counts react to).

#include <cstdint>
#include <functional>
#include <random>
#include <string>

namespace pcn::test {

inline void forEachTruncation(const std::string& bytes, const std::function<void(const std::string&)>& check) {
    for (size_t length = 0; length < bytes.size(); ++length) check(bytes.substr(0, length));
}

inline void forEachMutation(const std::string& bytes, int count, const std::function<void(const std::string&)>& check) {
    std::mt19937 random(20261208);
    static constexpr unsigned char kInteresting[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
    for (int i = 0; i < count && !bytes.empty(); ++i) {
        std::string damaged = bytes;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = random() % damaged.size();
            switch (random() % 4) {
            case 0: damaged[at] = static_cast<char>(random() & 0xFF); break;
            case 1: damaged[at] = static_cast<char>(damaged[at] ^ (1 << (random() % 8))); break;
            case 2: damaged[at] = static_cast<char>(kInteresting[random() % sizeof kInteresting]); break;
            default:  // a whole 32-bit value, as counts are
                for (size_t k = at; k < damaged.size() && k < at + 4; ++k)
                    damaged[k] = static_cast<char>(random() % 2 ? 0xFF : 0x7F);
                break;
            }
        }
        check(damaged);
    }
}

}  // namespace pcn::test
