#include "cabinet/LzxMatchFinder.h"

#include <algorithm>

namespace pcn::cabinet::lzx {

void rebaseLinks(int32_t* links, size_t count, uint32_t shift) {
    for (size_t i = 0; i < count; ++i) links[i] = links[i] >= int32_t(shift) ? links[i] - int32_t(shift) : -1;
}

void rebasePositions(std::pmr::vector<int32_t>& table, size_t perPosition, uint32_t shift) {
    const size_t moved = size_t(shift) * perPosition;
    std::copy(table.begin() + ptrdiff_t(moved), table.end(), table.begin());
    rebaseLinks(table.data(), table.size() - moved, shift);
}

HashChains::HashChains(std::pmr::memory_resource* memory, uint32_t capacity)
    : head_(size_t(1) << kBits, -1, memory), prev_(capacity, -1, memory), triple_(memory) {}

void HashChains::reset() {
    std::fill(head_.begin(), head_.end(), -1);
    triple_.reset();
}

void HashChains::rebase(uint32_t shift) {
    rebaseLinks(head_.data(), head_.size(), shift);
    rebasePositions(prev_, 1, shift);
    triple_.rebase(shift);
}

BinaryTrees::BinaryTrees(std::pmr::memory_resource* memory, uint32_t capacity, unsigned shares)
    : shares_(shares), head_(size_t(1) << kBits, -1, memory), children_(2 * size_t(capacity), -1, memory) {}

void BinaryTrees::reset() { std::fill(head_.begin(), head_.end(), -1); }

void BinaryTrees::rebase(uint32_t shift) {
    rebaseLinks(head_.data(), head_.size(), shift);
    rebasePositions(children_, 2, shift);
}

}  // namespace pcn::cabinet::lzx
