#include "build/cabinet/LzxMatchFinder.h"

#include <algorithm>

namespace pcn::cabinet::lzx {

HashChains::HashChains(std::pmr::memory_resource* memory, uint32_t capacity)
    : head_(size_t(1) << kHashBits, -1, memory), prev_(capacity, -1, memory) {}

void HashChains::reset() { std::fill(head_.begin(), head_.end(), -1); }

void HashChains::rebase(uint32_t shift) {
    auto moved = [shift](int32_t link) { return link >= int32_t(shift) ? link - int32_t(shift) : -1; };
    for (int32_t& h : head_) h = moved(h);
    const size_t kept = prev_.size() - shift;
    for (size_t i = 0; i < kept; ++i) prev_[i] = moved(prev_[i + shift]);
}

}  // namespace pcn::cabinet::lzx
