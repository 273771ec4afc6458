// Extraction loses nothing: a file whose data is damaged, or whose
// extraction is cancelled, never replaces what was at its place and leaves
// no part-written file behind.

#include <gtest/gtest.h>

#include <fstream>

#include "cabinet/tests/CabinetTestSupport.h"
#include "verifying/CabinetSet.h"
#include "verifying/Extraction.h"

namespace {

using namespace pcn::cabinet;
using namespace pcn::cabinet::test;
using pcn::verifying::CabinetSet;
using pcn::verifying::extractAll;

struct Extraction : ::testing::Test {
    ScratchFolder scratch;
    fs::path cabinet;
    fs::path into;

    void SetUp() override {
        CabinetParams params;
        params.folderThreshold = 90000000;
        params.setId = 44444;
        const WriteResult written = writeCabinets(scratch.path(), {{"first.txt", textData(300000, 1)},
                                                                   {"second.txt", textData(300000, 2)}},
                                                  params, kCompressionMszip);
        ASSERT_TRUE(written.ok);
        cabinet = scratch / "out" / written.cabinets.front();
        into = scratch / "into";
        fs::create_directories(into);
        writeBytes(into / "first.txt", "what was there");
        writeBytes(into / "second.txt", "what was there too");
    }
    // Every file in the folder after the run: the two that were there, unchanged.
    void expectFolderAsItWas() {
        EXPECT_EQ(filesUnder(into),
                  (std::map<std::string, std::string>{{"first.txt", "what was there"},
                                                      {"second.txt", "what was there too"}}));
    }
};

TEST_F(Extraction, CancelledHalfwayLeavesTheFileInProgressAsItWas) {
    CabinetSet set;
    ASSERT_TRUE(set.open(cabinet.string()));
    const auto report = extractAll(set, into.string(), [](uint64_t done, uint64_t, const std::string&) {
        return done < 100000;
    });
    EXPECT_TRUE(report.cancelled);
    EXPECT_TRUE(report.written.empty());
    EXPECT_TRUE(report.failures.empty());
    expectFolderAsItWas();
}

TEST_F(Extraction, DamagedDataReplacesNothing) {
    std::string bytes = readBytes(cabinet);
    bytes[bytes.size() - 2000] ^= 0x5A;  // in the last data block: second.txt
    writeBytes(cabinet, bytes);
    CabinetSet set;
    ASSERT_TRUE(set.open(cabinet.string()));
    const auto report = extractAll(set, into.string(), {});
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].rfind("second.txt: ", 0), 0u) << report.failures[0];
    ASSERT_EQ(report.written.size(), 1u);
    EXPECT_EQ(readBytes(into / "first.txt"), textData(300000, 1));
    EXPECT_EQ(readBytes(into / "second.txt"), "what was there too");
    EXPECT_EQ(filesUnder(into).size(), 2u);
}

}  // namespace
