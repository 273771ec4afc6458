// LZX cabinets written by our encoder, read back by cabextract (libmspack)
// and gcab, each with its own LZX decoder.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <tuple>

#include "cabinet/LzxEncoder.h"
#include "cabinet/PosixCabinetIo.h"
#include "cabinet/tests/CabinetTestSupport.h"

namespace pcn::cabinet::test {
namespace {

constexpr size_t kFrame = 32768;

CabinetParams plainParams() {
    CabinetParams p;
    p.folderThreshold = 90000000;
    p.setId = 44444;
    return p;
}

// Machine code: the start of this test program.
std::string x86Code(size_t size) {
    std::ifstream in("/proc/self/exe", std::ios::binary);
    std::string bytes(size, '\0');
    in.read(bytes.data(), std::streamsize(size));
    bytes.resize(size_t(in.gcount()));
    return bytes;
}

// CALL instructions (E8 and a displacement) among text, with displacements
// on both sides of every translation range, also in the last ten bytes of
// frames where readers do not translate.
std::string callsData(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string out = textData(size, seed);
    const int32_t displacements[] = {0, 5, -5, 1000, -70000, 11999990, 12000000, -12000000, 0x7FFFFFFF, INT32_MIN};
    for (size_t at = 0; at + 5 <= size; at += 7 + rng() % 40) {
        const int32_t d = rng() % 3 ? int32_t(rng() % 200000) - 100000 : displacements[rng() % 10];
        out[at] = char(0xE8);
        for (int k = 0; k < 4; ++k) out[at + 1 + size_t(k)] = char(uint32_t(d) >> (8 * k));
    }
    for (size_t frameEnd = kFrame; frameEnd < size; frameEnd += kFrame)
        for (size_t back = 1; back <= 10; back += 3) out[frameEnd - back] = char(0xE8);
    return out;
}

// Records of a table, each the one before with a byte or two changed: the
// parse codes them as a match, a literal and a match at the same offset.
std::string recordsData(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string out = textData(48, seed);
    while (out.size() < size) {
        std::string record = out.substr(out.size() - 48);
        for (unsigned k = 0, changes = 1 + rng() % 2; k < changes; ++k) record[rng() % 48] = char(rng());
        out += record;
    }
    out.resize(size);
    return out;
}

std::vector<SourceFile> lzxCorpus() {
    return {
        {"text\\readme.txt", textData(150000, 1)},
        {"bin\\program.exe", x86Code(400000)},
        {"bin\\calls.bin", callsData(120000, 2)},
        {"noise.bin", noiseData(90000, 3)},
        {"records.dat", recordsData(70000, 7)},
        {"empty.txt", ""},
        {"frame-exact.bin", callsData(kFrame, 4)},
        {"frame-plus-one.bin", textData(kFrame + 1, 5)},
        {"also empty.txt", ""},
        {"tail.txt", textData(777, 6)},
    };
}

using WindowAndLevel = std::tuple<unsigned, int>;
class LzxWindowsAndLevels : public ::testing::TestWithParam<WindowAndLevel> {};

TEST_P(LzxWindowsAndLevels, MixedDataIsReadBackByCabextractAndGcab) {
    const auto [bits, level] = GetParam();
    ScratchFolder dir;
    const auto files = lzxCorpus();
    const WriteResult w = writeCabinets(dir.path(), files, plainParams(), lzxCompression(bits), "lzx.cab",
                                        CompressionTuning{level, 0});
    ASSERT_TRUE(w.ok) << w.error.code;
    const ParsedCabinet cab = parseCabinet(readBytes(dir / "out" / "lzx.cab"));
    ASSERT_EQ(cab.folders.size(), 1u);
    EXPECT_EQ(cab.folders[0].type, 0x0003 | (bits << 8));
    expectCabextractTree(dir.path(), "lzx.cab", expectedTree(files));
    expectGcabTree(dir.path(), "lzx.cab", expectedTree(files));
}

INSTANTIATE_TEST_SUITE_P(Lzx, LzxWindowsAndLevels,
                         ::testing::Combine(::testing::Values(15u, 18u, 21u), ::testing::Range(1, 10)),
                         [](const auto& info) {
                             return "Window" + std::to_string(std::get<0>(info.param)) + "Level" +
                                    std::to_string(std::get<1>(info.param));
                         });

// Frames whose data changes its kind half way code as two blocks each; a
// frame that does not compress (stored) comes first in a chunk, so the
// frame after it is coded from trees counted again.
TEST(LzxInterop, FramesThatChangeKindHalfWayAreReadBack) {
    const size_t half = kFrame / 2;
    const std::string code = x86Code(3 * half);
    std::string mixed = textData(half, 51) + code.substr(0, half);                // text, then code
    mixed += code.substr(half, half) + textData(half, 52);                       // code, then text
    mixed += noiseData(kFrame, 53);                                              // stored
    mixed += textData(half - 99, 54) + recordsData(half + 99, 55);               // text, then a table
    mixed += recordsData(half + 7, 56) + code.substr(2 * half, half - 7);        // a table, then code
    for (const unsigned bits : {15u, 21u})
        for (const int level : {kDefaultLevel, 6}) {
            SCOPED_TRACE(testing::Message() << "window " << bits << ", level " << level);
            ScratchFolder dir;
            const std::vector<SourceFile> files{{"mixed.bin", mixed}};
            const WriteResult w = writeCabinets(dir.path(), files, plainParams(), lzxCompression(bits), "mixed.cab",
                                                CompressionTuning{level, 0});
            ASSERT_TRUE(w.ok) << w.error.code;
            expectCabextractTree(dir.path(), "mixed.cab", expectedTree(files));
            expectGcabTree(dir.path(), "mixed.cab", expectedTree(files));
        }
}

TEST(LzxInterop, CompressesTextAndCodeWellBelowMszip) {
    ScratchFolder dir;
    const std::vector<SourceFile> files{{"readme.txt", textData(300000, 11)}, {"program.exe", x86Code(600000)}};
    const WriteResult mszip = writeCabinets(dir.path() / "mszip", files, plainParams(), kCompressionMszip, "m.cab");
    const WriteResult lzx = writeCabinets(dir.path() / "lzx", files, plainParams(), lzxCompression(21), "l.cab",
                                          CompressionTuning{kDefaultLevel, 0});
    ASSERT_TRUE(mszip.ok && lzx.ok);
    const auto mszipSize = fs::file_size(dir / "mszip" / "out" / "m.cab");
    const auto lzxSize = fs::file_size(dir / "lzx" / "out" / "l.cab");
    EXPECT_LT(double(lzxSize), 0.92 * double(mszipSize)) << lzxSize << " against " << mszipSize;
}

TEST(LzxInterop, FolderOfEmptyFilesOnlyHasNoDataAndExtracts) {
    ScratchFolder dir;
    const std::vector<SourceFile> files{{"a.txt", ""}, {"b\\c.txt", ""}};
    const WriteResult w = writeCabinets(dir.path(), files, plainParams(), lzxCompression(16), "empty.cab");
    ASSERT_TRUE(w.ok) << w.error.code;
    const ParsedCabinet cab = parseCabinet(readBytes(dir / "out" / "empty.cab"));
    ASSERT_EQ(cab.folders.size(), 1u);
    EXPECT_EQ(cab.folders[0].blocks, 0u);
    expectCabextractTree(dir.path(), "empty.cab", expectedTree(files));
    expectGcabTree(dir.path(), "empty.cab", expectedTree(files));
}

TEST(LzxInterop, FolderContinuesAcrossThreeCabinetsOfASpanningSet) {
    ScratchFolder dir;
    std::vector<SourceFile> files{{"first.txt", textData(20000, 21)},
                                  {"big\\setup.exe", x86Code(300000) + noiseData(250000, 22) + callsData(200000, 23)},
                                  {"last.txt", textData(9000, 24)}};
    CabinetParams p = plainParams();
    p.maxCabinetSize = 180000;
    const WriteResult w = writeCabinets(dir.path(), files, p, lzxCompression(21), "set1.cab",
                                        CompressionTuning{kSmallLevel, 0});
    ASSERT_TRUE(w.ok) << w.error.code;
    ASSERT_GE(w.cabinets.size(), 3u);
    // The big file starts in the first cabinet and is continued in the others.
    const ParsedCabinet second = parseCabinet(readBytes(dir / "out" / w.cabinets[1]));
    ASSERT_FALSE(second.files.empty());
    EXPECT_EQ(second.files[0].name, "big\\setup.exe");
    EXPECT_GE(second.files[0].folder, 0xFFFDu);
    for (const auto& name : w.cabinets) EXPECT_LE(fs::file_size(dir / "out" / name), p.maxCabinetSize) << name;
    expectCabextractTree(dir.path(), w.cabinets.front(), expectedTree(files));
}

long cancelAfterTwoBlocks(int kind, uint32_t, uint32_t, void* client) {
    auto* blocks = static_cast<int*>(client);
    if (kind == kStatusBlock && ++*blocks >= 2) return -1;
    return 0;
}

bool nameCabinet(CabinetParams* next, uint32_t, void*) {
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "next%d.cab", next->cabinetNumber);
    return true;
}

TEST(LzxInterop, StatusReportsEveryFrameAndCancelStopsTheBuild) {
    ScratchFolder dir;
    writeBytes(dir / "big.txt", textData(20 * kFrame, 31));
    CabinetParams p = plainParams();
    std::snprintf(p.cabinetPath, sizeof p.cabinetPath, "%s/", dir.path().c_str());
    std::snprintf(p.cabinetName, sizeof p.cabinetName, "cancel.cab");
    int blocks = 0;
    CabinetError error;
    CabinetCompressor* c = createCompressor(&error, posixCallbacks(), p, &blocks, {kDefaultLevel, 0});
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(addFile(c, (dir / "big.txt").c_str(), "big.txt", false, nameCabinet, cancelAfterTwoBlocks,
                         posixFileInfo, lzxCompression(21)));
    EXPECT_EQ(error.code, kErrorUserAbort);
    EXPECT_EQ(blocks, 2);
    destroyCompressor(c);
    EXPECT_FALSE(fs::exists(dir / "cancel.cab"));
}

// Random files of random lengths (many near frame boundaries) with random
// windows and levels, all read back by cabextract.
TEST(LzxInterop, RandomDataAndLengthsRoundTripThroughCabextract) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        ScratchFolder dir;
        std::vector<SourceFile> files;
        const int count = 1 + int(rng() % 5);
        for (int i = 0; i < count; ++i) {
            size_t size;
            switch (rng() % 4) {
            case 0: size = rng() % 100; break;
            case 1: size = kFrame * (1 + rng() % 4) + rng() % 3 - 1; break;
            default: size = rng() % 300000; break;
            }
            std::string bytes;
            while (bytes.size() < size) {
                const size_t piece = std::min<size_t>(size - bytes.size(), 1 + rng() % 20000);
                switch (rng() % 4) {
                case 0: bytes += noiseData(piece, rng()); break;
                case 1: bytes += textData(piece, rng()); break;
                case 2: bytes += callsData(piece, rng()); break;
                default: bytes += std::string(piece, char(rng())); break;
                }
            }
            files.push_back({"f" + std::to_string(i) + ".bin", bytes});
        }
        const unsigned bits = 15 + rng() % 7;
        const int level = 1 + int(rng() % 9);
        const WriteResult w = writeCabinets(dir.path(), files, plainParams(), lzxCompression(bits), "r.cab",
                                            CompressionTuning{level, 1 + rng() % 2});
        ASSERT_TRUE(w.ok) << "window " << bits << " level " << level;
        expectCabextractTree(dir.path(), "r.cab", expectedTree(files));
        if (HasFailure()) {
            ADD_FAILURE() << "window " << bits << " level " << level;
            return;
        }
    }
}

// Readers translate CALL targets only in the first 32,768 frames (1 GB) of a
// folder. Calls right before and after that point must both come back as
// they were. The file is sparse: zeros compress to almost nothing.
TEST(LzxInterop, CallTranslationStopsAfter32768Frames) {
    ScratchFolder dir;
    const fs::path source = dir / "huge.bin";
    const uint64_t size = 32770 * uint64_t(kFrame) + 9000;
    {
        const int fd = ::open(source.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(size)), 0);
        const std::string calls = callsData(3000, 41);
        for (uint64_t frame : {0ull, 1ull, 32767ull, 32768ull, 32769ull, 32770ull})
            ASSERT_EQ(::pwrite(fd, calls.data(), calls.size(), off_t(frame * kFrame + 5000)), ssize_t(calls.size()));
        ::close(fd);
    }
    CabinetParams p = plainParams();
    p.folderThreshold = 0x7FFFFFFF;
    std::snprintf(p.cabinetPath, sizeof p.cabinetPath, "%s/", dir.path().c_str());
    std::snprintf(p.cabinetName, sizeof p.cabinetName, "huge.cab");
    CabinetError error;
    CabinetCompressor* c = createCompressor(&error, posixCallbacks(), p, nullptr, {1, 0});
    ASSERT_NE(c, nullptr);
    const bool ok = addFile(c, source.c_str(), "huge.bin", false, nameCabinet, nullptr, posixFileInfo,
                            lzxCompression(21)) &&
                    flushCabinet(c, false, nameCabinet, nullptr);
    destroyCompressor(c);
    ASSERT_TRUE(ok) << error.code;
    EXPECT_LT(fs::file_size(dir / "huge.cab"), 10'000'000u);

    FILE* pipe = ::popen(("cabextract -q -p " + quoted(dir / "huge.cab") + " 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::ifstream expected(source, std::ios::binary);
    std::vector<char> got(1 << 20), want(1 << 20);
    uint64_t compared = 0, firstDifference = UINT64_MAX;
    for (;;) {
        const size_t n = std::fread(got.data(), 1, got.size(), pipe);
        if (n == 0) break;
        expected.read(want.data(), std::streamsize(n));
        if (size_t(expected.gcount()) != n) break;
        if (firstDifference == UINT64_MAX && std::memcmp(got.data(), want.data(), n) != 0)
            for (size_t k = 0; k < n; ++k)
                if (got[k] != want[k]) {
                    firstDifference = compared + k;
                    break;
                }
        compared += n;
    }
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(compared, size);
    EXPECT_EQ(firstDifference, UINT64_MAX) << "frame " << firstDifference / kFrame;
}

}  // namespace
}  // namespace pcn::cabinet::test
