// Cabinets written by the compressor, read back by independent tools:
// cabextract (libmspack, checks every data block checksum) and gcab.

#include <gtest/gtest.h>

#include <cstdlib>

#include "cabinet/PosixCabinetIo.h"
#include "cabinet/tests/CabinetTestSupport.h"

namespace pcn::cabinet::test {
namespace {

// Text and random bytes in turns of 3 to 12 KB: MSZIP blocks that switch
// between deflating and storing several times, at every offset within a block.
// Then random bytes followed by copies of themselves, near enough for deflate
// to refer back to them, from the same block and from a stored one.
std::string patchwork() {
    std::string data;
    for (unsigned i = 0; i < 24; ++i)
        data += i % 2 ? noiseData(5000 + 7001 * i % 7000, i) : textData(3000 + 4099 * i % 6000, i);
    const std::string random = noiseData(70000, 98);
    return data + random + random.substr(45000) + textData(2000, 5) + random.substr(60000);
}

std::vector<SourceFile> mixedFiles() {
    std::vector<SourceFile> files;
    files.push_back({"empty.txt", ""});
    files.push_back({"exact.bin", textData(32768, 1)});
    for (int i = 0; i < 150; ++i)
        files.push_back({"docs\\small" + std::to_string(i) + ".txt", textData(size_t(37 * i % 900), unsigned(i))});
    files.push_back({"noise.bin", noiseData(100000, 7)});
    files.push_back({"sub\\deeper\\long.txt", textData(500000, 3)});
    files.push_back({"patchwork.bin", patchwork()});
    files.push_back({"Gr\xC3\xBC\xC3\x9F" "e\\na\xC3\xAFve \xE2\x82\xAC.txt", textData(4000, 9)});
    files.push_back({"zero again.txt", ""});
    return files;
}

CabinetParams plainParams() {
    CabinetParams p;
    p.folderThreshold = 90000000;
    p.setId = 44444;
    return p;
}

class BothTypes : public ::testing::TestWithParam<CompressionType> {};

TEST_P(BothTypes, MixedFilesAreReadBackByCabextractAndGcab) {
    ScratchFolder dir;
    const auto files = mixedFiles();
    const WriteResult w = writeCabinets(dir.path(), files, plainParams(), GetParam(), "mixed.cab");
    ASSERT_TRUE(w.ok) << w.error.code;
    ASSERT_EQ(w.cabinets.size(), 1u);
    expectCabextractTree(dir.path(), "mixed.cab", expectedTree(files));
    expectGcabTree(dir.path(), "mixed.cab", expectedTree(files));
}

TEST_P(BothTypes, OneFileLargerThanTheCabinetLimitContinuesOverSeveralCabinets) {
    ScratchFolder dir;
    std::vector<SourceFile> files{{"before.txt", textData(5000, 2)},
                                  {"big\\large.bin", textData(900000, 5) + noiseData(700000, 6)},
                                  {"after.txt", textData(20000, 8)}};
    CabinetParams p = plainParams();
    p.maxCabinetSize = 200000;
    const WriteResult w = writeCabinets(dir.path(), files, p, GetParam());
    ASSERT_TRUE(w.ok) << w.error.code;
    EXPECT_GE(w.cabinets.size(), 4u);
    for (const auto& name : w.cabinets) EXPECT_LE(fs::file_size(dir / "out" / name), p.maxCabinetSize) << name;
    expectCabextractTree(dir.path(), w.cabinets.front(), expectedTree(files));
}

TEST_P(BothTypes, SpanningSetOfManyFilesIsExtractedWholeFromTheFirstCabinet) {
    ScratchFolder dir;
    std::vector<SourceFile> files;
    for (int i = 0; i < 300; ++i) {
        const size_t size = size_t((i * 7919) % 23000);
        files.push_back({"set\\f" + std::to_string(i) + ".dat", i % 3 ? textData(size, unsigned(i)) : noiseData(size, unsigned(i))});
    }
    CabinetParams p = plainParams();
    p.maxCabinetSize = 150000;
    const WriteResult w = writeCabinets(dir.path(), files, p, GetParam());
    ASSERT_TRUE(w.ok) << w.error.code;
    EXPECT_GE(w.cabinets.size(), 3u);
    for (const auto& name : w.cabinets) EXPECT_LE(fs::file_size(dir / "out" / name), p.maxCabinetSize) << name;
    expectCabextractTree(dir.path(), w.cabinets.front(), expectedTree(files));
}

INSTANTIATE_TEST_SUITE_P(Cabinet, BothTypes, ::testing::Values(kCompressionNone, kCompressionMszip),
                         [](const auto& info) { return info.param == kCompressionNone ? "None" : "Mszip"; });

// MSZIP workers share out runs of consecutive blocks; folders of other types
// in between take block numbers that never reach them.
TEST(CabinetInterop, FoldersOfEveryTypeInTurnAreReadBackByCabextractAndGcab) {
    const int mszip = kCompressionMszip, none = kCompressionNone, lzx = lzxCompression(21);
    const std::vector<SourceFile> files{
        {"a\\long.txt", textData(700000, 1), mszip},  // 22 blocks: over a run's end
        {"b\\stored.txt", textData(100000, 2), none},
        {"c\\mixed.bin", noiseData(70000, 3) + textData(130000, 4), mszip},
        {"d\\lzx.txt", textData(150000, 5), lzx},
        {"e\\short.txt", textData(40000, 6), mszip},
        {"f\\noise.bin", noiseData(300000, 7), mszip}};
    for (const CompressionTuning tuning : {CompressionTuning{kDefaultLevel, 2}, CompressionTuning{kFastLevel, 1}}) {
        ScratchFolder scratch;
        const WriteResult w = writeCabinets(scratch.path(), files, plainParams(), kCompressionMszip, "turns.cab", tuning);
        ASSERT_TRUE(w.ok) << w.error.code;
        const ParsedCabinet parsed = parseCabinet(readBytes(scratch / "out" / "turns.cab"));
        std::vector<int> types;  // a folder for each change of type
        for (const auto& f : parsed.folders) types.push_back(f.type);
        EXPECT_EQ(types, (std::vector<int>{mszip, none, mszip, lzx, mszip}));
        expectCabextractTree(scratch.path(), "turns.cab", expectedTree(files));
        expectGcabTree(scratch.path(), "turns.cab", expectedTree(files));
    }
}

TEST(CabinetInterop, HeaderReserveIsPresentZeroFilledAndReadable) {
    ScratchFolder dir;
    const auto files = mixedFiles();
    CabinetParams p = plainParams();
    p.headerReserve = 6144;
    const WriteResult w = writeCabinets(dir.path(), files, p, kCompressionMszip, "signed.cab");
    ASSERT_TRUE(w.ok);
    const std::string bytes = readBytes(dir / "out" / "signed.cab");
    ASSERT_GT(bytes.size(), 40u + 6144u);
    EXPECT_EQ(uint8_t(bytes[30]) & 0x04, 0x04);                          // reserve present
    EXPECT_EQ(uint8_t(bytes[36]) | (uint8_t(bytes[37]) << 8), 6144);      // header reserve
    EXPECT_EQ(bytes[38], 0);                                              // folder reserve
    EXPECT_EQ(bytes[39], 0);                                              // data reserve
    EXPECT_EQ(bytes.substr(40, 6144), std::string(6144, '\0'));
    expectCabextractTree(dir.path(), "signed.cab", expectedTree(files));
    expectGcabTree(dir.path(), "signed.cab", expectedTree(files));
}

TEST(CabinetInterop, ReservesInEveryStructureOfASpanningSet) {
    ScratchFolder dir;
    std::vector<SourceFile> files{{"a.txt", textData(300000, 1)}, {"b.bin", noiseData(200000, 2)}};
    CabinetParams p = plainParams();
    p.maxCabinetSize = 80000;
    p.headerReserve = 100;
    p.folderReserve = 7;
    p.dataReserve = 13;
    const WriteResult w = writeCabinets(dir.path(), files, p, kCompressionMszip);
    ASSERT_TRUE(w.ok);
    EXPECT_GE(w.cabinets.size(), 3u);
    expectCabextractTree(dir.path(), w.cabinets.front(), expectedTree(files));
}

TEST(CabinetInterop, CorruptedDataBlockFailsTheChecksum) {
    ScratchFolder dir;
    std::vector<SourceFile> files{{"a.txt", textData(100000, 1)}};
    const WriteResult w = writeCabinets(dir.path(), files, plainParams(), kCompressionNone, "c.cab");
    ASSERT_TRUE(w.ok);
    const fs::path cab = dir / "out" / "c.cab";
    EXPECT_EQ(run("cabextract -t " + quoted(cab)).exitCode, 0);
    std::string bytes = readBytes(cab);
    bytes[bytes.size() - 1000] ^= 0x01;
    writeBytes(cab, bytes);
    const CommandResult broken = run("cabextract -t " + quoted(cab));
    EXPECT_NE(broken.exitCode, 0) << broken.output;
    EXPECT_NE(broken.output.find("checksum"), std::string::npos) << broken.output;
}

TEST(CabinetInterop, SourceDateEpochMakesTwoBuildsByteIdentical) {
    ScratchFolder one, two;
    const auto files = mixedFiles();
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    const WriteResult a = writeCabinets(one.path(), files, plainParams(), kCompressionMszip, "r.cab");
    const WriteResult b = writeCabinets(two.path(), files, plainParams(), kCompressionMszip, "r.cab");
    ::unsetenv("SOURCE_DATE_EPOCH");
    ASSERT_TRUE(a.ok && b.ok);
    const std::string first = readBytes(one / "out" / "r.cab");
    EXPECT_TRUE(first == readBytes(two / "out" / "r.cab"));
    uint16_t date = 0, time = 0;
    toDosDateTime(1700000000, &date, &time);
    const ParsedCabinet parsed = parseCabinet(first);
    ASSERT_EQ(parsed.files.size(), files.size());
    for (const auto& f : parsed.files) {
        EXPECT_EQ(f.date, date) << f.name;
        EXPECT_EQ(f.time, time) << f.name;
    }
}

}  // namespace
}  // namespace pcn::cabinet::test
