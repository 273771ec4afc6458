#pragma once
// Match finders over the encoder's window buffer. Positions are buffer
// indices; when the buffer slides, rebase() moves a finder's links with it.
// Hash chains are cheap to keep up and serve the lazy parse, which looks at a
// candidate or two per position; binary trees find the longest matches in few
// steps and serve the near-optimal parse, which wants every length.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <optional>
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

template <unsigned Bits>
uint32_t hash4(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return (v * 2654435761u) >> (32 - Bits);
}

template <unsigned Bits>
uint32_t hash3(const uint8_t* p) {
    const uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    return (v * 2654435761u) >> (32 - Bits);
}

// Asks the kernel to back [data, data + bytes) with huge pages where it
// can. The tables are read at random across megabytes, and on small pages
// every step of a search would also miss the TLB.
void adviseHugePages(void* data, size_t bytes);

// Fills `table` with `count` copies of `value`, on huge pages where the
// kernel gives them: the advice must come before the first touch.
template <typename T>
void fillLargeTable(std::pmr::vector<T>& table, size_t count, T value) {
    table.clear();
    table.reserve(count);
    adviseHugePages(table.data(), count * sizeof(T));
    table.assign(count, value);
}

// Moves links `shift` positions down; links that fall off become -1.
void rebaseLinks(int32_t* links, size_t count, uint32_t shift);
// The same for a table indexed by position: entry i takes entry i + shift.
void rebasePositions(std::pmr::vector<int32_t>& table, size_t perPosition, uint32_t shift);

// The last position seen with each three leading bytes: the finders key on
// four bytes, and this adds the nearest three-byte match, which pays only
// when it is near.
class NearestTriple {
public:
    explicit NearestTriple(std::pmr::memory_resource* memory) : head_(size_t(1) << kBits, -1, memory) {}
    void reset() { std::fill(head_.begin(), head_.end(), -1); }
    void rebase(uint32_t shift) { rebaseLinks(head_.data(), head_.size(), shift); }
    void insert(const uint8_t* buffer, uint32_t p) { head_[hash3<kBits>(buffer + p)] = int32_t(p); }

    // Links p; reports the match found there, if any. Returns its length, or
    // 2 when there is none.
    template <typename Sink>
    uint32_t search(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, Sink&& sink) {
        const uint8_t* here = buffer + p;
        const uint32_t h = hash3<kBits>(here);
        const int32_t near = head_[h];
        head_[h] = int32_t(p);
        if (near < 0 || p - uint32_t(near) > std::min(maxOffset, kReach)) return 2;
        const uint8_t* there = buffer + near;
        if (there[0] != here[0] || there[1] != here[1] || there[2] != here[2]) return 2;
        const uint32_t length = matchLength(here, there, maxLength);
        sink(Match{length, p - uint32_t(near)});
        return length;
    }

private:
    static constexpr unsigned kBits = 14;
    static constexpr uint32_t kReach = 1u << 16;
    std::pmr::vector<int32_t> head_;
};

// Every position links to the previous one with the same four leading
// bytes (more hash bits: fewer strangers in a chain, a larger table).
class ChainTable {
public:
    ChainTable(std::pmr::memory_resource* memory, uint32_t capacity, unsigned hashBits);

    void reset();
    void rebase(uint32_t shift);

    uint32_t hash(const uint8_t* p) const {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return (v * 2654435761u) >> hashShift_;
    }
    void prefetchHead(uint32_t h) const { __builtin_prefetch(&head_[h]); }
    void prefetchNewest(const uint8_t* buffer, uint32_t h) const { prefetchCandidate(buffer, head_[h]); }

    void prefetchSecond(const uint8_t* buffer, uint32_t h) const {
        const int32_t newest = head_[h];
        if (newest >= 0) prefetchCandidate(buffer, prev_[size_t(newest)]);
    }

    void insert(uint32_t p, uint32_t h) {
        prev_[p] = head_[h];
        head_[h] = int32_t(p);
    }

    // A walk down chain h from p, a candidate at a time (see BinaryTrees::Walk).
    struct Walk {
        const uint8_t* here;
        uint32_t p;
        int32_t candidate;
        unsigned depth;
        uint32_t best, maxLength, maxOffset, niceLength;
    };

    // Links p into chain h; matches longer than `best` are to be reported.
    Walk start(const uint8_t* buffer, uint32_t p, uint32_t h, uint32_t maxLength, uint32_t maxOffset,
               unsigned depth, uint32_t niceLength, uint32_t best) {
        Walk w{buffer + p, p, head_[h], depth, best, maxLength, maxOffset, niceLength};
        insert(p, h);
        if (best >= niceLength || best >= maxLength) w.depth = 0;
        if (w.depth > 0) prefetchCandidate(buffer, w.candidate);
        return w;
    }

    // Looks at the walk's next candidate, reporting a match longer than
    // every one before; returns false once the walk has ended.
    template <typename Sink>
    bool step(const uint8_t* buffer, Walk& w, Sink&& sink) {
        if (w.candidate < 0 || w.depth == 0) return false;
        --w.depth;
        const uint32_t offset = w.p - uint32_t(w.candidate);
        if (offset > w.maxOffset) return false;
        const uint8_t* there = buffer + w.candidate;
        w.candidate = prev_[uint32_t(w.candidate)];
        if (w.depth > 0) prefetchCandidate(buffer, w.candidate);
        // Only a match longer than the best so far counts: its byte at
        // `best` must agree.
        if (there[w.best] != w.here[w.best] || there[0] != w.here[0]) return true;
        const uint32_t length = matchLength(w.here, there, w.maxLength);
        if (length <= w.best) return true;
        w.best = length;
        sink(Match{length, offset});
        return length < w.niceLength && length < w.maxLength;
    }

private:
    // The bytes a step will compare at a candidate, and its link on.
    void prefetchCandidate(const uint8_t* buffer, int32_t candidate) const {
        if (candidate < 0) return;
        __builtin_prefetch(buffer + candidate);
        __builtin_prefetch(&prev_[size_t(candidate)]);
    }

    unsigned hashShift_;
    std::pmr::vector<int32_t> head_;
    std::pmr::vector<int32_t> prev_;
};

// The last sixteen positions seen with each eight leading bytes (as far as
// a hash tells them apart). A chain looked a few links down meets recent
// strings only; this adds the long ones from anywhere in the window (a
// sibling library, a licence once more), several of them, as the newest is
// not always the longest. A bucket fills one cache line, and each entry keeps
// a few more bits of its string's hash beside the position, so that the
// strangers sharing a bucket are passed over without reading their bytes.
class NearestLong {
public:
    explicit NearestLong(std::pmr::memory_resource* memory);
    void reset();
    void rebase(uint32_t shift);

    static uint64_t key(const uint8_t* p) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v * 0x9E3779B97F4A7C15ull;
    }
    void prefetchHead(uint64_t key) const { __builtin_prefetch(bucket(key)); }
    // p + 8 <= end of data.
    void insert(const uint8_t* buffer, uint32_t p) { insert(key(buffer + p), p); }

    // Takes note of p (maxLength >= 8) and reports the longest of the matches
    // found there if it is longer than `best`, looking no further once one
    // reaches niceLength; returns the longest length then known.
    template <typename Sink>
    uint32_t search(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, uint32_t niceLength,
                    uint32_t best, Sink&& sink) {
        const uint8_t* here = buffer + p;
        const uint64_t k = key(here);
        std::array<uint32_t, kWays> entries;
        std::copy_n(bucket(k), kWays, entries.begin());
        insert(k, p, entries);
        Match found{best, 0};
        for (uint32_t withTag = entriesWithTag(entries.data(), tag(k)); withTag != 0; withTag &= withTag - 1) {
            const uint32_t entry = entries[unsigned(std::countr_zero(withTag))];
            if (found.length >= std::min(maxLength, niceLength)) break;
            const uint32_t candidate = entry & kPositionMask;
            // Newest first: the rest are further still. An empty entry
            // (all ones) is further than any.
            if (p - candidate > maxOffset) break;
            const uint8_t* there = buffer + candidate;
            if (there[found.length] != here[found.length]) continue;
            const uint32_t length = matchLength(here, there, maxLength);
            if (length > found.length) found = Match{length, p - candidate};
        }
        if (found.offset != 0) sink(found);
        return found.length;
    }

    // Asks for the bytes a search at p will compare first at the candidates
    // in p's bucket, so that the waits of several searches overlap.
    void prefetchCandidates(const uint8_t* buffer, uint32_t p, uint32_t best) const {
        const uint64_t k = key(buffer + p);
        const uint32_t* entries = bucket(k);
        for (uint32_t withTag = entriesWithTag(entries, tag(k)); withTag != 0; withTag &= withTag - 1) {
            const uint32_t candidate = entries[unsigned(std::countr_zero(withTag))] & kPositionMask;
            // An empty entry (all ones) lies past p.
            if (candidate >= p) break;
            const uint8_t* there = buffer + candidate;
            __builtin_prefetch(there);
            __builtin_prefetch(there + best);
        }
    }

    // Positions in the encoder's buffer fit in this many bits.
    static constexpr unsigned kPositionBits = 23;

private:
    static constexpr unsigned kBits = 17;
    static constexpr size_t kWays = 16;
    static constexpr uint32_t kPositionMask = (uint32_t(1) << kPositionBits) - 1;
    static constexpr uint32_t kEmpty = ~uint32_t(0);
    static constexpr unsigned kTagBits = 32 - kPositionBits;
    static uint32_t tag(uint64_t key) {
        return uint32_t(key >> (64 - kBits - kTagBits)) & ((uint32_t(1) << kTagBits) - 1);
    }
    // Bit j set where entry j of a bucket has the tag, found without a branch
    // for each: which ones they are is a coin toss the processor would lose.
    static uint32_t entriesWithTag(const uint32_t* entries, uint32_t wanted) {
        uint32_t withTag = 0;
        for (unsigned j = 0; j < kWays; ++j) withTag |= uint32_t((entries[j] >> kPositionBits) == wanted) << j;
        return withTag;
    }
    uint32_t* bucket(uint64_t key) { return lines_ + kWays * (key >> (64 - kBits)); }
    const uint32_t* bucket(uint64_t key) const { return lines_ + kWays * (key >> (64 - kBits)); }
    // Through a copy: moving the entries along in place would be a call to
    // memmove, the copy is a few vector moves.
    void insert(uint64_t key, uint32_t p) {
        std::array<uint32_t, kWays> entries;
        std::copy_n(bucket(key), kWays, entries.begin());
        insert(key, p, entries);
    }
    void insert(uint64_t key, uint32_t p, const std::array<uint32_t, kWays>& entries) {
        uint32_t* slot = bucket(key);
        std::memcpy(slot + 1, entries.data(), (kWays - 1) * sizeof(uint32_t));
        slot[0] = (tag(key) << kPositionBits) | p;
    }
    std::pmr::vector<uint32_t> table_;
    uint32_t* lines_ = nullptr;  // table_ from its first cache line on
};

// Hash chains with the nearest three-byte matches (and, when asked for, the
// nearest eight-byte ones). Cheap to keep up: a position the parse skips is
// only linked. The lazy parse looks at a chain candidate or two per
// position, the near-optimal parse over chains at a few.
class HashChains {
public:
    HashChains(std::pmr::memory_resource* memory, uint32_t capacity, unsigned hashBits, bool longMatches = false)
        : chains_(memory, capacity, hashBits), triple_(memory) {
        if (longMatches) long_.emplace(memory);
    }

    void reset() {
        chains_.reset();
        triple_.reset();
        if (long_) long_->reset();
    }
    void rebase(uint32_t shift) {
        chains_.rebase(shift);
        triple_.rebase(shift);
        if (long_) long_->rebase(shift);
    }

    // Links position p (which needs p + 4 <= end of data, and `ahead` bytes
    // of data from p on) into its chain.
    void insert(const uint8_t* buffer, uint32_t p, uint32_t ahead) {
        if (ahead >= 8) chains_.prefetchHead(chains_.hash(buffer + p + 4));
        if (long_ && ahead >= 16) long_->prefetchHead(NearestLong::key(buffer + p + 8));
        chains_.insert(p, chains_.hash(buffer + p));
        triple_.insert(buffer, p);
        if (long_ && ahead >= 8) long_->insert(buffer, p);
    }

    // Links p and reports, in order of growing length, each match at p that
    // is longer than every one before it (at least 3 bytes, at most maxLength,
    // offsets up to maxOffset). Stops at niceLength or after `depth` links.
    template <typename Sink>
    void search(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, unsigned depth,
                uint32_t niceLength, Sink&& sink) {
        // Every step of a search waits on memory. The steps of the searches
        // a few positions on are asked for now, a step at a time, each
        // after the one it follows from has arrived.
        if (maxLength >= 10) {
            chains_.prefetchHead(chains_.hash(buffer + p + 6));
            chains_.prefetchNewest(buffer, chains_.hash(buffer + p + 4));
            if (depth > 1) chains_.prefetchSecond(buffer, chains_.hash(buffer + p + 2));
        }
        if (long_ && maxLength >= 14) long_->prefetchHead(NearestLong::key(buffer + p + 6));
        Walk walk = start(buffer, p, maxLength, maxOffset, depth, niceLength, sink);
        while (step(buffer, walk, sink)) {
        }
        end(buffer, walk, sink);
    }

    // search() or insert() in three parts, for walks that take turns (the
    // same as HashTrees'): the nearest three-byte match and p's place in its
    // chain now (without `search`, only the place, and no walk), the chain a
    // candidate at a time, then, in position order, the eight-byte table.
    using Walk = ChainTable::Walk;
    template <typename Sink>
    std::optional<Walk> begin(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset,
                              unsigned depth, uint32_t niceLength, bool search, Sink&& sink) {
        if (!search) {
            insert(buffer, p, maxLength);
            return std::nullopt;
        }
        // What the searches a round of walks on will look up first.
        if (maxLength >= 24) chains_.prefetchHead(chains_.hash(buffer + p + 16));
        if (long_ && maxLength >= 24) long_->prefetchHead(NearestLong::key(buffer + p + 16));
        return start(buffer, p, maxLength, maxOffset, depth, niceLength, sink);
    }
    template <typename Sink>
    bool step(const uint8_t* buffer, Walk& walk, Sink&& sink) {
        return chains_.step(buffer, walk, sink);
    }
    // Before the ends of a round of walks, in any order.
    void prepareEnd(const uint8_t* buffer, const Walk& walk) const {
        if (long_ && walk.maxLength >= 8 && walk.best < walk.niceLength)
            long_->prefetchCandidates(buffer, walk.p, walk.best);
    }
    template <typename Sink>
    void end(const uint8_t* buffer, const Walk& walk, Sink&& sink) {
        if (!long_ || walk.maxLength < 8) return;
        if (walk.best < walk.niceLength)
            long_->search(buffer, walk.p, walk.maxLength, walk.maxOffset, walk.niceLength, walk.best, sink);
        else
            long_->insert(buffer, walk.p);
    }
    // Walks down chains only read links older than their own position, so
    // any may take turns; with 32 at a time the finder took 7 % less time
    // than with 16 (48: no better).
    static bool sameTree(const Walk&, const uint8_t*) { return false; }
    static constexpr unsigned kWalksAtOnce = 32;

private:
    template <typename Sink>
    Walk start(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, unsigned depth,
               uint32_t niceLength, Sink&& sink) {
        const uint32_t best = triple_.search(buffer, p, maxLength, maxOffset, sink);
        return chains_.start(buffer, p, chains_.hash(buffer + p), maxLength, maxOffset, depth, niceLength, best);
    }

    ChainTable chains_;
    NearestTriple triple_;
    std::optional<NearestLong> long_;
};

// Positions with the same four leading bytes form a binary search tree of
// the strings that start there, newest at the root. Inserting a position
// walks down from the root, re-rooting the tree at it; the walk meets the
// positions whose strings are nearest to its own, so the longest matches
// come up within a few steps.
class BinaryTrees {
public:
    BinaryTrees(std::pmr::memory_resource* memory, uint32_t capacity);

    void reset();
    void rebase(uint32_t shift);

    // Asks for what a walk of tree h will read first, ahead of time: the
    // walks wait on memory, and a position or two ahead is enough to hide
    // some of it.
    void prefetchRoot(uint32_t h) const { __builtin_prefetch(&head_[h]); }
    void prefetchNewest(const uint8_t* buffer, uint32_t h) const { prefetchNode(buffer, head_[h]); }
    void prefetchNode(const uint8_t* buffer, int32_t node) const {
        if (node < 0) return;
        __builtin_prefetch(buffer + node);
        __builtin_prefetch(&children_[2 * size_t(node)]);
    }
    static uint32_t tree(const uint8_t* p) { return hash4<kBits>(p); }

    // A walk down one tree, inserting p at its root; it advances a node at a
    // time, so that walks in different trees can take turns and wait on
    // memory together instead of one after the other.
    struct Walk {
        const uint8_t* here;
        uint32_t p;
        int32_t node;
        int32_t* below;  // where the subtree of strings below p's is still to be hung
        int32_t* above;  // the same for strings above
        unsigned depth;
        uint32_t best, maxLength, maxOffset, niceLength;
    };

    // Makes p the root of tree h; matches longer than `best` are to be reported.
    Walk start(const uint8_t* buffer, uint32_t p, uint32_t h, uint32_t maxLength, uint32_t maxOffset, unsigned depth,
               uint32_t niceLength, uint32_t best) {
        int32_t* kids = &children_[2 * size_t(p)];
        Walk w{buffer + p, p, head_[h], kids, kids + 1, depth, best, maxLength, maxOffset, niceLength};
        head_[h] = int32_t(p);
        prefetchNode(buffer, w.node);
        return w;
    }

    // Visits the walk's next node, reporting a match longer than every one
    // before; returns false once the walk has ended.
    template <typename Sink>
    bool step(const uint8_t* buffer, Walk& w, Sink&& sink) {
        if (w.node < 0 || w.p - uint32_t(w.node) > w.maxOffset || w.depth-- == 0) {
            *w.below = -1;
            *w.above = -1;
            return false;
        }
        const uint8_t* there = buffer + w.node;
        // Both children are read before the comparison and asked for ahead:
        // the walk waits on memory, and this way the next step's wait
        // overlaps this one's.
        int32_t* kids = &children_[2 * size_t(w.node)];
        const int32_t lower = kids[0], upper = kids[1];
        prefetchNode(buffer, lower);
        prefetchNode(buffer, upper);
        // Compared from the first byte: a node taken over after a match cut
        // short at maxLength or niceLength leaves its subtrees only roughly
        // in order, so no common prefix is taken for granted.
        const uint32_t length = matchLength(w.here, there, w.maxLength);
        if (length > w.best) {
            w.best = length;
            sink(Match{length, w.p - uint32_t(w.node)});
        }
        if (length >= w.niceLength) {
            // As good as p for everything below: p takes its place.
            *w.below = lower;
            *w.above = upper;
            return false;
        }
        if (there[length] < w.here[length]) {
            *w.below = w.node;
            w.below = &kids[1];
            w.node = upper;
        } else {
            *w.above = w.node;
            w.above = &kids[0];
            w.node = lower;
        }
        return true;
    }

private:
    static constexpr unsigned kBits = 18;
    std::pmr::vector<int32_t> head_;
    std::pmr::vector<int32_t> children_;  // per position: below, above
};

// Binary trees with the nearest three-byte matches: slower to keep up than
// chains, as every position is a walk, but they bring up the longest
// matches from anywhere in the window.
class HashTrees {
public:
    HashTrees(std::pmr::memory_resource* memory, uint32_t capacity) : trees_(memory, capacity), triple_(memory) {}

    void reset() {
        trees_.reset();
        triple_.reset();
    }
    void rebase(uint32_t shift) {
        trees_.rebase(shift);
        triple_.rebase(shift);
    }

    // Inserts p (p + 4 <= end of data; maxLength: bytes of data from p on,
    // at most the longest match) without reporting matches.
    void insert(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, unsigned depth,
                uint32_t niceLength) {
        walkWhole(buffer, p, maxLength, maxOffset, depth, niceLength, false, [](const Match&) {});
    }

    // Inserts p and reports, in order of growing length, each match at p that
    // is longer than every one before it, as HashChains::search does.
    template <typename Sink>
    void search(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, unsigned depth,
                uint32_t niceLength, Sink&& sink) {
        walkWhole(buffer, p, maxLength, maxOffset, depth, niceLength, true, sink);
    }

    // search() or insert() in parts, for walks that take turns (the same as
    // HashChains'): the three-byte match (reported when `report`) and p's
    // root place in its tree now, the walk then a step at a time.
    using Walk = BinaryTrees::Walk;
    template <typename Sink>
    std::optional<Walk> begin(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset,
                              unsigned depth, uint32_t niceLength, bool report, Sink&& sink) {
        uint32_t best = 3;
        if (report)
            best = triple_.search(buffer, p, maxLength, maxOffset, sink);
        else
            triple_.insert(buffer, p);
        return trees_.start(buffer, p, BinaryTrees::tree(buffer + p), maxLength, maxOffset, depth,
                            std::min(niceLength, maxLength), best);
    }
    template <typename Sink>
    bool step(const uint8_t* buffer, Walk& walk, Sink&& sink) {
        return trees_.step(buffer, walk, sink);
    }
    template <typename Sink>
    void end(const uint8_t*, const Walk&, Sink&&) {}
    void prepareEnd(const uint8_t*, const Walk&) const {}
    // A walk rebuilds the tree it goes down: two in one tree must not take
    // turns, and more at a time meet one another's trees more often (32 were
    // slower than 16).
    static bool sameTree(const Walk& walk, const uint8_t* here) {
        return BinaryTrees::tree(walk.here) == BinaryTrees::tree(here);
    }
    static constexpr unsigned kWalksAtOnce = 16;

private:
    template <typename Sink>
    void walkWhole(const uint8_t* buffer, uint32_t p, uint32_t maxLength, uint32_t maxOffset, unsigned depth,
                   uint32_t niceLength, bool report, Sink&& sink) {
        if (maxLength >= 6) prefetchAhead(buffer, p);
        std::optional<Walk> walk = begin(buffer, p, maxLength, maxOffset, depth, niceLength, report, sink);
        while (step(buffer, *walk, sink)) {
        }
    }
    // The next position's newest node and the root of the one after.
    void prefetchAhead(const uint8_t* buffer, uint32_t p) const {
        trees_.prefetchNewest(buffer, BinaryTrees::tree(buffer + p + 1));
        trees_.prefetchRoot(BinaryTrees::tree(buffer + p + 2));
    }
    BinaryTrees trees_;
    NearestTriple triple_;
};

}  // namespace pcn::cabinet::lzx
