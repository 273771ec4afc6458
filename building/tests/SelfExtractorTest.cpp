// Joining a stub and the first cabinet into the self-extracting executable:
// the stub choice, the bytes of the result, and that failures lose nothing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "building/SelfExtractor.h"
#include "building/tests/WritersTestSupport.h"
#include "distribution/ScriptedUserInterface.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace {

namespace fs = std::filesystem;
using test::makePackage;
using test::readFile;
using test::ScratchFolder;
using test::writeFile;

// Bytes that do not repeat with the block size, so a block written twice or
// dropped shows.
std::string patternBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed + i / 251) & 0xFF);
    return bytes;
}

class JoinTest : public ::testing::Test {
protected:
    void SetUp() override {
        programDir = scratch.path() / "program";
        target = scratch.path() / "out";
        fs::create_directories(programDir);
        fs::create_directories(target);
        const char* old = std::getenv("PCN_PROGRAM_DIR");
        oldProgramDir = old ? old : "";
        ::setenv("PCN_PROGRAM_DIR", programDir.c_str(), 1);
        settings = std::make_unique<SettingsStore>(scratch.path() / "settings.conf");
    }
    void TearDown() override { ::setenv("PCN_PROGRAM_DIR", oldProgramDir.c_str(), 1); }

    std::unique_ptr<CCabObj> packageWithCabinet(int32_t kind, const std::string& cabinet) {
        auto p = makePackage(kind, target.string());
        p->m_arrOutputFiles = {"Tools.CAB"};
        writeFile(target / "Tools.CAB", cabinet);
        return p;
    }

    ScratchFolder scratch;
    fs::path programDir, target;
    std::string oldProgramDir;
    std::unique_ptr<SettingsStore> settings;
    ScriptedUserInterface ui;
    test::RecordingHost host;
};

TEST_F(JoinTest, StubChoice) {
    auto self = makePackage(kKindSelfExtractingCabinet, target.string());
    EXPECT_EQ(StubPath(*self, *settings), (programDir / "Extract.Exe").string());
    settings->writeString("Settings", "Self Extractor", "/opt/other/Unpack.exe");
    EXPECT_EQ(StubPath(*self, *settings), "/opt/other/Unpack.exe");
    auto wizard = makePackage(kKindSelfExtractingWizard, target.string());
    EXPECT_EQ(StubPath(*wizard, *settings), (programDir / "PilotStub.Exe").string());
    EXPECT_EQ(StubPath(*makePackage(kKindCabinet, "/out"), *settings), "");
    EXPECT_EQ(ExecutableName(*self), "Tools.EXE");
    EXPECT_EQ(ExecutableName(*wizard), "ToolsW.EXE");
}

TEST_F(JoinTest, SelfExtractingCabinetIsStubFollowedByCabinet) {
    std::string stub = patternBytes(70001, 1);
    std::string cabinet = patternBytes(3 * kJoinBlockSize + 17, 2);
    writeFile(programDir / "Extract.Exe", stub);
    auto p = packageWithCabinet(kKindSelfExtractingCabinet, cabinet);
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, &host, *settings));
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(readFile(target / "Tools.EXE"), stub + cabinet);
    EXPECT_FALSE(fs::exists(target / "Tools.CAB"));
    EXPECT_EQ(p->m_arrOutputFiles, std::vector<std::string>{"Tools.EXE"});
    EXPECT_EQ(host.steps, (std::vector<std::string>{"Building output file...", "Build Complete."}));
    EXPECT_EQ(host.percents, (std::vector<uint32_t>{0, 100}));
    // Only the executable is left: no temporary file beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 1);
}

TEST_F(JoinTest, CabinetOfExactlyOneBlock) {
    writeFile(programDir / "Extract.Exe", "MZ");
    std::string cabinet = patternBytes(kJoinBlockSize, 3);
    auto p = packageWithCabinet(kKindSelfExtractingCabinet, cabinet);
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    EXPECT_EQ(readFile(target / "Tools.EXE"), "MZ" + cabinet);
}

TEST_F(JoinTest, ChosenExtractorIsCopiedInstead) {
    writeFile(programDir / "Extract.Exe", "default stub");
    writeFile(scratch.path() / "Other.exe", "other stub");
    settings->writeString("Settings", "Self Extractor", (scratch.path() / "Other.exe").string());
    auto p = packageWithCabinet(kKindSelfExtractingCabinet, "MSCF cabinet");
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    EXPECT_EQ(readFile(target / "Tools.EXE"), "other stubMSCF cabinet");
}

TEST_F(JoinTest, WizardDeletesConfigurationFile) {
    writeFile(programDir / "PilotStub.Exe", "wizard stub");
    writeFile(target / "pcn.cfg", "[Config]\r\n");
    auto p = packageWithCabinet(kKindSelfExtractingWizard, "cabinet");
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    EXPECT_EQ(readFile(target / "ToolsW.EXE"), "wizard stubcabinet");
    EXPECT_FALSE(fs::exists(target / "pcn.cfg"));
    EXPECT_FALSE(fs::exists(target / "Tools.CAB"));
    EXPECT_EQ(p->m_arrOutputFiles, std::vector<std::string>{"ToolsW.EXE"});
}

TEST_F(JoinTest, SpanningJoinsOnlyTheFirstCabinet) {
    writeFile(programDir / "Extract.Exe", "stub");
    auto p = makePackage(kKindSelfExtractingCabinet, target.string());
    p->m_bCapSingle = 0;
    p->m_arrOutputFiles = {"Tools1.CAB", "Tools2.CAB"};
    writeFile(target / "Tools1.CAB", "first");
    writeFile(target / "Tools2.CAB", "second");
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    EXPECT_EQ(readFile(target / "Tools.EXE"), "stubfirst");
    EXPECT_EQ(readFile(target / "Tools2.CAB"), "second");
    EXPECT_EQ(p->m_arrOutputFiles, (std::vector<std::string>{"Tools.EXE", "Tools2.CAB"}));
}

TEST_F(JoinTest, BuildingTwiceReplacesTheExecutable) {
    writeFile(programDir / "Extract.Exe", "stub");
    auto p = packageWithCabinet(kKindSelfExtractingCabinet, std::string(100000, 'a'));
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    p = packageWithCabinet(kKindSelfExtractingCabinet, "short");
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    EXPECT_EQ(readFile(target / "Tools.EXE"), "stubshort");
}

TEST_F(JoinTest, RealCabinetStaysReadableInsideTheExecutable) {
    if (std::system("command -v gcab >/dev/null && command -v cabextract >/dev/null") != 0)
        GTEST_SKIP() << "gcab or cabextract missing";
    writeFile(scratch.path() / "readme.txt", patternBytes(200000, 9));
    std::string make = "cd '" + scratch.str() + "' && gcab -cz '" + (target / "Tools.CAB").string() +
                       "' readme.txt >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    std::string cabinet = readFile(target / "Tools.CAB");
    writeFile(programDir / "Extract.Exe", patternBytes(4096, 5));
    auto p = makePackage(kKindSelfExtractingCabinet, target.string());
    p->m_arrOutputFiles = {"Tools.CAB"};
    ASSERT_TRUE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    EXPECT_EQ(readFile(target / "Tools.EXE"), patternBytes(4096, 5) + cabinet);
    std::string test = "cabextract -t '" + (target / "Tools.EXE").string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(test.c_str()), 0);
}

TEST_F(JoinTest, MissingStubLosesNothing) {
    writeFile(target / "Tools.EXE", "earlier build");
    auto p = packageWithCabinet(kKindSelfExtractingCabinet, "cabinet");
    EXPECT_FALSE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_TRUE(ui.shown()[0].isErrorDetails);
    EXPECT_EQ(ui.shown()[0].text, "Error 2\n\nNo such file or directory");
    EXPECT_EQ(ui.shown()[0].details, "Unable to copy files:\r\n" + (programDir / "Extract.Exe").string() +
                                         "\r\nto\r\n" + (target / "Tools.EXE").string());
    EXPECT_EQ(readFile(target / "Tools.CAB"), "cabinet");
    EXPECT_EQ(readFile(target / "Tools.EXE"), "earlier build");
    EXPECT_EQ(p->m_arrOutputFiles, std::vector<std::string>{"Tools.CAB"});
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 2);
}

TEST_F(JoinTest, UnreadableCabinet) {
    writeFile(programDir / "Extract.Exe", "stub");
    auto p = makePackage(kKindSelfExtractingCabinet, target.string());
    p->m_arrOutputFiles = {"Tools.CAB"};
    EXPECT_FALSE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].details, "Unable to open file:\r\n" + (target / "Tools.CAB").string());
    EXPECT_FALSE(fs::exists(target / "Tools.EXE"));
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 0);

    // A cabinet that is no regular file (a folder here, a FIFO that would
    // block) is refused when opened.
    fs::create_directories(target / "Tools.CAB");
    ui.clear();
    EXPECT_FALSE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].details, "Unable to open file:\r\n" + (target / "Tools.CAB").string());
    EXPECT_FALSE(fs::exists(target / "Tools.EXE"));
}

TEST_F(JoinTest, UnwritableTarget) {
    writeFile(programDir / "Extract.Exe", "stub");
    auto p = packageWithCabinet(kKindSelfExtractingCabinet, "cabinet");
    fs::create_directories(target / "Tools.EXE" / "in-the-way");
    EXPECT_FALSE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].details, "Unable to copy files:\r\n" + (programDir / "Extract.Exe").string() +
                                         "\r\nto\r\n" + (target / "Tools.EXE").string());
    EXPECT_EQ(readFile(target / "Tools.CAB"), "cabinet");
    EXPECT_EQ(p->m_arrOutputFiles, std::vector<std::string>{"Tools.CAB"});
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 2);

    // A target folder that is gone.
    auto q = makePackage(kKindSelfExtractingCabinet, (scratch.path() / "missing").string());
    q->m_arrOutputFiles = {"Tools.CAB"};
    ui.clear();
    EXPECT_FALSE(JoinStubAndCabinet(*q, ui, nullptr, *settings));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].details.rfind("Unable to copy files:\r\n", 0), 0u);
}

TEST_F(JoinTest, NoOutputFile) {
    writeFile(programDir / "Extract.Exe", "stub");
    auto p = makePackage(kKindSelfExtractingCabinet, target.string());
    EXPECT_FALSE(JoinStubAndCabinet(*p, ui, nullptr, *settings));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Unable to find any output file.\r\n");
    EXPECT_FALSE(fs::exists(target / "Tools.EXE"));
}

TEST_F(JoinTest, MiniSetupIsAddedForWizardsThatAskForIt) {
    auto wizard = makePackage(kKindSelfExtractingWizard, target.string());
    wizard->m_arrBuildFiles = {"/src/a"};
    AddMiniSetup(*wizard, &host);
    EXPECT_EQ(wizard->m_arrBuildFiles, std::vector<std::string>{"/src/a"});
    wizard->m_bMiniSetup = 1;
    AddMiniSetup(*wizard, &host);
    EXPECT_EQ(wizard->m_arrBuildFiles,
              (std::vector<std::string>{"/src/a", (programDir / "TinySetup.Exe").string()}));
    EXPECT_EQ(host.steps, std::vector<std::string>{"Adding TinySetup.exe..."});
    auto self = makePackage(kKindSelfExtractingCabinet, target.string());
    self->m_bMiniSetup = 1;
    AddMiniSetup(*self, nullptr);
    EXPECT_TRUE(self->m_arrBuildFiles.empty());
}

}  // namespace
}  // namespace pcn
