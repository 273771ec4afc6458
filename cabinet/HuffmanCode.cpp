#include "cabinet/HuffmanCode.h"

#include <algorithm>
#include <array>
#include <span>

namespace pcn::cabinet {

namespace {

constexpr size_t kMaxSymbols = 1024;

// Depth of every leaf of a Huffman tree over the sorted weights, built with
// the two-queue method (leaves and merged nodes both come out in weight order).
// The depths are left in depth[0, leaves).
void huffmanDepths(const uint64_t* sortedWeights, size_t leaves, std::array<unsigned, 2 * kMaxSymbols>& depth) {
    std::array<uint64_t, 2 * kMaxSymbols> weight;
    std::array<size_t, 2 * kMaxSymbols> parent;
    std::copy(sortedWeights, sortedWeights + leaves, weight.begin());
    size_t nextLeaf = 0, nextNode = leaves, made = leaves;
    auto takeSmallest = [&]() {
        if (nextLeaf < leaves && (nextNode >= made || weight[nextLeaf] <= weight[nextNode])) return nextLeaf++;
        return nextNode++;
    };
    for (; made < 2 * leaves - 1; ++made) {
        const size_t a = takeSmallest();
        const size_t b = takeSmallest();
        weight[made] = weight[a] + weight[b];
        parent[a] = parent[b] = made;
    }
    depth[2 * leaves - 2] = 0;
    for (size_t node = 2 * leaves - 2; node-- > 0;) depth[node] = depth[parent[node]] + 1;
}

}  // namespace

void buildCodeLengths(const uint32_t* frequencies, size_t count, unsigned maxLength, uint8_t* lengths) {
    std::fill(lengths, lengths + count, uint8_t(0));
    count = std::min(count, kMaxSymbols);
    std::array<size_t, kMaxSymbols> usedStore;
    size_t usedCount = 0;
    for (size_t s = 0; s < count; ++s)
        if (frequencies[s] != 0) usedStore[usedCount++] = s;
    const std::span<size_t> used(usedStore.data(), usedCount);
    if (used.size() < 2) {
        // One or no symbol: two codes of one bit keep the tree complete.
        const size_t first = used.empty() ? 0 : used[0];
        lengths[first] = 1;
        lengths[first == 0 ? 1 : 0] = 1;
        return;
    }
    std::stable_sort(used.begin(), used.end(),
                     [&](size_t a, size_t b) { return frequencies[a] < frequencies[b]; });
    std::array<uint64_t, kMaxSymbols> weights;
    for (size_t k = 0; k < used.size(); ++k) weights[k] = frequencies[used[k]];
    std::array<unsigned, 2 * kMaxSymbols> depth;
    huffmanDepths(weights.data(), used.size(), depth);
    const unsigned deepest = *std::max_element(depth.begin(), depth.begin() + used.size());

    // Count the codes of each length; fold the ones that are too long back
    // in, keeping the code complete (each step moves two leaves of the deepest
    // level up one and hangs them below a shallower leaf).
    std::array<size_t, 2 * kMaxSymbols> perLength{};
    for (size_t k = 0; k < used.size(); ++k) ++perLength[depth[k]];
    for (size_t len = deepest; len > maxLength; --len) {
        while (perLength[len] > 0) {
            size_t shorter = len - 2;
            while (perLength[shorter] == 0) --shorter;
            perLength[len] -= 2;
            perLength[len - 1] += 1;
            perLength[shorter + 1] += 2;
            perLength[shorter] -= 1;
        }
    }
    // The rarest symbols get the longest codes.
    size_t next = 0;
    for (size_t len = maxLength; len >= 1; --len)
        for (size_t k = 0; k < perLength[len]; ++k) lengths[used[next++]] = uint8_t(len);
}

void buildCanonicalCodes(const uint8_t* lengths, size_t count, uint16_t* codes) {
    std::array<uint32_t, 18> perLength{};
    for (size_t s = 0; s < count; ++s) ++perLength[lengths[s]];
    perLength[0] = 0;
    std::array<uint32_t, 18> nextCode{};
    uint32_t code = 0;
    for (size_t len = 1; len < nextCode.size(); ++len) {
        code = (code + perLength[len - 1]) << 1;
        nextCode[len] = code;
    }
    for (size_t s = 0; s < count; ++s) codes[s] = lengths[s] ? uint16_t(nextCode[lengths[s]]++) : 0;
}

}  // namespace pcn::cabinet
