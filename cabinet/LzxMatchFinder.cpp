#include "cabinet/LzxMatchFinder.h"

#include <algorithm>

#include <sys/mman.h>

namespace pcn::cabinet::lzx {

void adviseHugePages(void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void rebaseLinks(int32_t* links, size_t count, uint32_t shift) {
    for (size_t i = 0; i < count; ++i) links[i] = links[i] >= int32_t(shift) ? links[i] - int32_t(shift) : -1;
}

void rebasePositions(std::pmr::vector<int32_t>& table, size_t perPosition, uint32_t shift) {
    const size_t moved = size_t(shift) * perPosition;
    std::copy(table.begin() + ptrdiff_t(moved), table.end(), table.begin());
    rebaseLinks(table.data(), table.size() - moved, shift);
}

ChainTable::ChainTable(std::pmr::memory_resource* memory, uint32_t capacity, unsigned hashBits)
    : hashShift_(32 - hashBits), head_(size_t(1) << hashBits, -1, memory), prev_(memory) {
    fillLargeTable(prev_, capacity, -1);
}

void ChainTable::reset() { std::fill(head_.begin(), head_.end(), -1); }

void ChainTable::rebase(uint32_t shift) {
    rebaseLinks(head_.data(), head_.size(), shift);
    rebasePositions(prev_, 1, shift);
}

NearestLong::NearestLong(std::pmr::memory_resource* memory) : table_(memory) {
    constexpr size_t kLine = 64 / sizeof(uint32_t);
    fillLargeTable(table_, (kWays << kBits) + kLine, kEmpty);
    const auto address = reinterpret_cast<uintptr_t>(table_.data());
    lines_ = table_.data() + ((64 - address % 64) % 64) / sizeof(uint32_t);
}

void NearestLong::reset() { std::fill(table_.begin(), table_.end(), kEmpty); }

void NearestLong::rebase(uint32_t shift) {
    for (uint32_t& entry : table_) {
        const uint32_t position = entry & kPositionMask;
        entry = entry == kEmpty || position < shift ? kEmpty : entry - shift;
    }
}

BinaryTrees::BinaryTrees(std::pmr::memory_resource* memory, uint32_t capacity)
    : head_(size_t(1) << kBits, -1, memory), children_(memory) {
    fillLargeTable(children_, 2 * size_t(capacity), -1);
}

void BinaryTrees::reset() { std::fill(head_.begin(), head_.end(), -1); }

void BinaryTrees::rebase(uint32_t shift) {
    rebaseLinks(head_.data(), head_.size(), shift);
    rebasePositions(children_, 2, shift);
}

}  // namespace pcn::cabinet::lzx
