// The match finders against a brute-force search of the same data.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory_resource>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "cabinet/LzxMatchFinder.h"
#include "cabinet/tests/CabinetTestSupport.h"

namespace pcn::cabinet::test {
namespace {

using lzx::HashChains;
using lzx::HashTrees;
using lzx::Match;
using lzx::NearestLong;

// Text with runs of one byte and copies cut short: the strings that leave a
// tree only roughly in order when a walk stops at the longest length allowed.
std::string finderData(size_t size) {
    std::mt19937 rng(7);
    std::string out = textData(size, 3);
    for (size_t at = 0; at + 600 < size; at += 900 + rng() % 700) {
        std::fill_n(out.begin() + ptrdiff_t(at), 100 + rng() % 300, char(rng() % 3));
        const size_t from = rng() % (at + 1), length = 20 + rng() % 280;
        if (from + length < at) std::copy_n(out.begin() + ptrdiff_t(from), length, out.begin() + ptrdiff_t(at + 400));
    }
    return out;
}

constexpr uint32_t kFrame = 4096;

uint32_t longestMatch(const std::string& s, size_t p, uint32_t maxLength, uint32_t maxOffset) {
    uint32_t best = 0;
    for (size_t q = p > maxOffset ? p - maxOffset : 0; q < p; ++q) {
        uint32_t n = 0;
        while (n < maxLength && s[q + n] == s[p + n]) ++n;
        best = std::max(best, n);
    }
    return best;
}

// Checks a finder at every position of finderData against a brute-force
// search: every match reported is real, lengths grow, limits hold, and with
// a deep search the longest match is found at `share` of the positions or
// more. Matches end with their frame, as in the encoder. search(p,
// maxLength, reach, sink) reports p's matches; link(p, bytes, reach) only
// takes note of p.
template <typename Search, typename Link>
void checkAgainstBruteForce(Search&& search, Link&& link, double share) {
    const std::string s = finderData(24000);
    const uint32_t maxOffset = 8000;
    size_t positions = 0, longestFound = 0;
    for (uint32_t p = 0; p + 4 <= s.size(); ++p) {
        const uint32_t frameEnd = std::min<uint32_t>((p / kFrame + 1) * kFrame, uint32_t(s.size()));
        const uint32_t maxLength = std::min<uint32_t>(257, frameEnd - p);
        const uint32_t reach = std::min(maxOffset, p);
        if (maxLength < 3) {
            link(p, std::min<uint32_t>(257, uint32_t(s.size()) - p), reach);
            continue;
        }
        std::vector<Match> found;
        search(p, maxLength, reach, [&](const Match& m) { found.push_back(m); });
        for (size_t k = 0; k < found.size(); ++k) {
            const Match& m = found[k];
            ASSERT_GE(m.offset, 1u) << p;
            ASSERT_LE(m.offset, reach) << p;
            ASSERT_LE(m.length, maxLength) << p;
            ASSERT_GE(m.length, 3u) << p;
            ASSERT_EQ(s.compare(p, m.length, s, p - m.offset, m.length), 0) << "position " << p;
            if (k > 0) {
                ASSERT_GT(m.length, found[k - 1].length) << p;
            }
        }
        const uint32_t longest = longestMatch(s, p, maxLength, reach);
        if (longest < 4) continue;
        ++positions;
        if (!found.empty() && found.back().length == longest) ++longestFound;
    }
    EXPECT_GT(positions, 10000u);
    EXPECT_GE(double(longestFound), share * double(positions));
}

const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(LzxMatchFinder, TreesReportRealMatchesAndFindTheLongest) {
    const std::string s = finderData(24000);
    std::pmr::monotonic_buffer_resource memory;
    HashTrees trees(&memory, uint32_t(s.size()));
    checkAgainstBruteForce(
        [&](uint32_t p, uint32_t maxLength, uint32_t reach, const auto& sink) {
            trees.search(bytes(s), p, maxLength, reach, 1000, 257, sink);
        },
        [&](uint32_t p, uint32_t ahead, uint32_t reach) { trees.insert(bytes(s), p, ahead, reach, 1000, 257); },
        0.99);
}

// Chains followed to their end find every longest match; the few hash bits
// of a small table put strangers into the chains, which must not be
// reported, and neither may the eight-byte table's candidates that share
// only a hash.
TEST(LzxMatchFinder, ChainsReportRealMatchesAndFindTheLongest) {
    const std::string s = finderData(24000);
    for (const unsigned hashBits : {8u, 19u}) {
        std::pmr::monotonic_buffer_resource memory;
        HashChains chains(&memory, uint32_t(s.size()), hashBits, hashBits > 8);
        checkAgainstBruteForce(
            [&](uint32_t p, uint32_t maxLength, uint32_t reach, const auto& sink) {
                chains.search(bytes(s), p, maxLength, reach, 100000, 257, sink);
            },
            [&](uint32_t p, uint32_t ahead, uint32_t) { chains.insert(bytes(s), p, ahead); }, 1.0);
    }
}

// Searches of positions in a row whose walks take turns a step at a time
// (begin, step, then prepareEnd and end), as many at once as the encoder
// takes, report what one search at a time by a second finder over the same
// data reports, position by position; walks in one tree wait for each
// other. Counts in `waited` how often a walk waited for another in its tree.
template <typename Finder>
void checkTurnsAgainstOneAtATime(const std::string& s, Finder& turns, Finder& alone, unsigned depth,
                                 size_t& waited) {
    constexpr unsigned kAtOnce = Finder::kWalksAtOnce;
    constexpr uint32_t kNice = 32;
    const uint8_t* data = bytes(s);
    const auto limits = [&](uint32_t p) {
        const uint32_t frameEnd = std::min<uint32_t>((p / kFrame + 1) * kFrame, uint32_t(s.size()));
        return std::pair{std::min<uint32_t>(257, frameEnd - p), std::min<uint32_t>(8000, p)};
    };
    size_t compared = 0;
    for (uint32_t p = 0; p + 4 <= s.size();) {
        std::vector<std::optional<typename Finder::Walk>> walks;
        std::vector<std::vector<Match>> found;
        std::vector<uint32_t> at;
        const auto into = [&found](size_t k) { return [&found, k](const Match& m) { found[k].push_back(m); }; };
        for (; walks.size() < kAtOnce && p + 4 <= s.size(); ++p) {
            bool waits = false;
            for (const auto& walk : walks) waits = waits || (walk && Finder::sameTree(*walk, data + p));
            if (waits) {
                ++waited;
                break;
            }
            const auto [maxLength, reach] = limits(p);
            found.emplace_back();
            at.push_back(p);
            walks.push_back(turns.begin(data, p, maxLength, reach, depth, kNice, true, into(found.size() - 1)));
        }
        std::vector<bool> walking(walks.size());
        for (size_t k = 0; k < walks.size(); ++k) walking[k] = walks[k].has_value();
        for (bool any = true; any;) {
            any = false;
            for (size_t k = 0; k < walks.size(); ++k)
                if (walking[k]) {
                    walking[k] = turns.step(data, *walks[k], into(k));
                    any = any || walking[k];
                }
        }
        // The walks end in position order, as the tables they end in need.
        for (size_t k = 0; k < walks.size(); ++k)
            if (walks[k]) turns.prepareEnd(data, *walks[k]);
        for (size_t k = 0; k < walks.size(); ++k)
            if (walks[k]) turns.end(data, *walks[k], into(k));
        for (size_t k = 0; k < at.size(); ++k) {
            std::vector<Match> one;
            const auto [maxLength, reach] = limits(at[k]);
            alone.search(data, at[k], maxLength, reach, depth, kNice, [&](const Match& m) { one.push_back(m); });
            ASSERT_EQ(found[k].size(), one.size()) << "position " << at[k];
            for (size_t m = 0; m < one.size(); ++m) {
                ASSERT_EQ(found[k][m].length, one[m].length) << "position " << at[k];
                ASSERT_EQ(found[k][m].offset, one[m].offset) << "position " << at[k];
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 20000u);
}

TEST(LzxMatchFinder, ChainWalksTakingTurnsFindWhatOneSearchAtATimeFinds) {
    const std::string s = finderData(24000);
    std::pmr::monotonic_buffer_resource memory;
    HashChains turns(&memory, uint32_t(s.size()), 19, true), alone(&memory, uint32_t(s.size()), 19, true);
    size_t waited = 0;
    checkTurnsAgainstOneAtATime(s, turns, alone, 8, waited);
}

TEST(LzxMatchFinder, TreeWalksTakingTurnsFindWhatOneSearchAtATimeFinds) {
    const std::string s = finderData(24000);
    std::pmr::monotonic_buffer_resource memory;
    HashTrees turns(&memory, uint32_t(s.size())), alone(&memory, uint32_t(s.size()));
    size_t waited = 0;
    checkTurnsAgainstOneAtATime(s, turns, alone, 12, waited);
    // The runs of one byte put positions in a row into one tree.
    EXPECT_GT(waited, 100u);
}

// One link down the chains, the eight-byte table still brings up a long
// match from further back than the chain reaches, and from behind newer
// strings that share its first twelve bytes.
TEST(LzxMatchFinder, EightByteTableFindsALongMatchBehindRecentShortOnes) {
    std::string s = textData(6000, 9);
    const std::string phrase = "a phrase long enough to matter, and only once before";
    s.replace(100, phrase.size(), phrase);
    for (size_t at = 1000; at < 5000; at += 200) s.replace(at, 5, phrase.substr(0, 5));
    for (size_t at = 1100; at < 5000; at += 400) s.replace(at, 12, phrase.substr(0, 12));
    s.replace(5500, phrase.size(), phrase);
    for (const bool longMatches : {false, true}) {
        std::pmr::monotonic_buffer_resource memory;
        HashChains chains(&memory, uint32_t(s.size()), 19, longMatches);
        Match best{0, 0};
        for (uint32_t p = 0; p + 300 <= s.size(); ++p) {
            std::vector<Match> found;
            chains.search(bytes(s), p, 257, p, 1, 257, [&](const Match& m) { found.push_back(m); });
            if (p == 5500 && !found.empty()) best = found.back();
        }
        if (longMatches) {
            EXPECT_GE(best.length, phrase.size());
            EXPECT_EQ(best.offset, 5400u);
        } else {
            EXPECT_LT(best.length, phrase.size());
        }
    }
}

// When the encoder's buffer slides, the positions in the eight-byte table
// move with it; those that fall off the front are forgotten, not kept with
// a position that now names other bytes.
TEST(LzxMatchFinder, EightByteTableFollowsTheBufferWhenItSlides) {
    std::string s = textData(20000, 5);
    const std::string kept = "a phrase that is kept across the slide", dropped = "one that falls off the front";
    s.replace(500, kept.size(), kept);
    s.replace(4000, kept.size(), kept);
    s.replace(800, dropped.size(), dropped);
    s.replace(15000, kept.size(), kept);
    s.replace(16000, dropped.size(), dropped);
    std::pmr::monotonic_buffer_resource memory;
    NearestLong table(&memory);
    for (uint32_t p = 0; p < 14000; ++p) table.insert(bytes(s), p);
    const uint32_t shift = 2000;
    table.rebase(shift);
    const uint8_t* slid = bytes(s) + shift;
    const auto longest = [&](uint32_t at) {
        Match best{0, 0};
        table.search(slid, at - shift, 257, 1u << 21, 257, 7, [&](const Match& m) { best = m; });
        return best;
    };
    const Match again = longest(15000);
    EXPECT_GE(again.length, kept.size());
    EXPECT_EQ(again.offset, 11000u);
    EXPECT_LT(longest(16000).length, dropped.size());
}

}  // namespace
}  // namespace pcn::cabinet::test
