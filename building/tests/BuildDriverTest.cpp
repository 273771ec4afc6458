// The build driver on real packages of each kind: the outputs it lists,
// the questions it asks, the outcome it writes into the package, and the
// cabinets read back by cabextract.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <thread>

#include "building/BuildDriver.h"
#include "building/StoredNames.h"
#include "cabinet/tests/CabinetTestSupport.h"
#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace {

using namespace cabinet::test;

class StepRecorder : public BuildHost {
public:
    std::vector<std::string> steps, phases;
    std::atomic<int> filesSeen{0};
    int abortAfterFiles = -1;

    void showStep(std::string_view text) override { steps.emplace_back(text); }
    void showPhase(std::string_view text) override { phases.emplace_back(text); }
    void showCurrentFile(std::string_view) override {
        if (++filesSeen > abortAfterFiles && abortAfterFiles >= 0) abortRequested = 1;
    }
    void showProgress(const BuildProgress&) override {}
};

class BuildDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = dir / "program";
        fs::create_directories(program);
        ::setenv("PCN_PROGRAM_DIR", program.c_str(), 1);
        settings = std::make_unique<SettingsStore>(dir / "settings.conf");
        package.m_strProduct = "Demo";
        package.m_strCompany = "Acme";
        package.m_strProjectName = "Demo";
        package.m_strSourceFolder = (dir / "src").string() + "/";
        package.m_strTargetFolder = (dir / "out" / "Demo").string();
        package.m_bSignature = 0;
        package.m_bCreateInf = 0;
    }
    void TearDown() override { ::unsetenv("PCN_PROGRAM_DIR"); }

    void addFile(const std::string& relative, const std::string& bytes) {
        fs::path path = dir / "src" / relative;
        writeBytes(path, bytes);
        package.AddFile(path.string());
    }
    bool build() { return BuildDriver(package, host, ui, settings.get()).run(); }
    fs::path out(const std::string& name) const { return dir / "out" / "Demo" / name; }

    ScratchFolder dir;
    fs::path program;
    std::unique_ptr<SettingsStore> settings;
    CCabObj package;
    StepRecorder host;
    ScriptedUserInterface ui;
};

TEST_F(BuildDriverTest, CabinetIntoExistingFolderListsItsCabinetAndExtracts) {
    addFile("readme.txt", textData(5000, 1));
    addFile("bin/tool.dat", noiseData(70000, 2));
    fs::create_directories(dir / "out" / "Demo");
    ASSERT_TRUE(build());
    ASSERT_EQ(package.m_arrOutputFiles, std::vector<std::string>{"Demo.CAB"});
    EXPECT_EQ(package.m_strBuildFolder, package.m_strTargetFolder);
    EXPECT_EQ(package.m_bRebuild, 0);
    EXPECT_NE(package.m_timeBuilt, 0);
    EXPECT_EQ(package.m_nSourceSize, 75000);
    EXPECT_TRUE(package.m_arrBuildFiles.empty());
    EXPECT_EQ(host.steps.back(), kBuildComplete);
    EXPECT_EQ(run("cabextract -t " + quoted(out("Demo.CAB"))).exitCode, 0);
}

TEST_F(BuildDriverTest, MissingFileAnsweredNoFailsWithoutOutput) {
    addFile("a.txt", "a");
    package.AddFile((dir / "src" / "gone.txt").string());
    package.m_bRebuild = 0;
    ui.queueAnswer(Answer::No);
    EXPECT_FALSE(build());
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown()[0].text, kMissingSourceFiles);
    EXPECT_EQ(ui.shown()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(host.steps.back(), kBuildFailed);
    EXPECT_EQ(package.m_bRebuild, 1);
    EXPECT_TRUE(package.m_arrOutputFiles.empty());
    EXPECT_FALSE(fs::exists(out("Demo.CAB")));
}

TEST_F(BuildDriverTest, SettingsOfTheLastBuildDoNotStick) {
    addFile("a.txt", textData(60000, 3));
    addFile("b.txt", textData(60000, 4));
    package.m_bCompression = 0;
    package.m_bCapSingle = 0;
    package.m_nCabSize = 50000;
    ASSERT_TRUE(build());
    EXPECT_GT(package.m_arrOutputFiles.size(), 1u);
    EXPECT_EQ(package.m_arrOutputFiles[0], "Demo1.CAB");
    auto uncompressedSize = fs::file_size(out("Demo1.CAB"));
    EXPECT_GE(uncompressedSize, 40000u);

    package.m_bCompression = 1;
    package.m_bCapSingle = 1;
    ASSERT_TRUE(build());
    ASSERT_EQ(package.m_arrOutputFiles, std::vector<std::string>{"Demo.CAB"});
    EXPECT_LT(fs::file_size(out("Demo.CAB")), 60000u);
    EXPECT_EQ(run("cabextract -t " + quoted(out("Demo.CAB"))).exitCode, 0);
}

TEST_F(BuildDriverTest, WizardWithSingleFileOffWritesOneCabinetIntoItsExecutable) {
    writeBytes(program / "PilotStub.Exe", "MZ-stub");
    addFile("setup.txt", textData(30000, 5));
    package.m_bCab = 0;
    package.m_bCabWiz = 1;
    package.m_bCapSingle = 0;
    package.m_nCabSize = 10000;
    package.SetKindFromFlags();
    ASSERT_TRUE(build()) << (ui.shown().empty() ? "" : ui.shown().back().text);
    ASSERT_EQ(package.m_arrOutputFiles, std::vector<std::string>{"DemoW.EXE"});
    std::string exe = readBytes(out("DemoW.EXE"));
    ASSERT_EQ(exe.substr(0, 7), "MZ-stub");
    // The appended cabinet holds the configuration file and the source.
    writeBytes(dir / "tail.cab", exe.substr(7));
    CommandResult listing = run("cabextract -l " + quoted(dir / "tail.cab"));
    EXPECT_EQ(listing.exitCode, 0) << listing.output;
    EXPECT_NE(listing.output.find("pcn.cfg"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find("setup.txt"), std::string::npos) << listing.output;
    EXPECT_FALSE(fs::exists(out("Demo.CAB")));
    EXPECT_FALSE(fs::exists(out("Demo2.CAB")));
}

// A failed join leaves the cabinet, whole, and it stays listed.
TEST_F(BuildDriverTest, SelfExtractorWithoutItsStubFailsAndListsItsCabinet) {
    addFile("a.txt", "a");
    package.m_bCab = 0;
    package.m_bCabSelf = 1;
    package.SetKindFromFlags();
    EXPECT_FALSE(build());
    EXPECT_FALSE(ui.shown().empty());
    EXPECT_EQ(package.m_bRebuild, 1);
    ASSERT_EQ(package.m_arrOutputFiles, std::vector<std::string>{"Demo.CAB"});
    EXPECT_EQ(run("cabextract -t " + quoted(out("Demo.CAB"))).exitCode, 0);
}

TEST_F(BuildDriverTest, CancelStopsBeforeTheNextFileAndListsNothing) {
    for (int i = 0; i < 8; ++i) addFile("f" + std::to_string(i) + ".bin", noiseData(200000, 10 + i));
    host.abortAfterFiles = 2;
    EXPECT_FALSE(build());
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().text.rfind("Unable to complete package creation.\n\nError [", 0), 0u);
    EXPECT_TRUE(package.m_arrOutputFiles.empty());
    EXPECT_EQ(package.m_bRebuild, 1);
    EXPECT_LE(host.filesSeen.load(), 3);
}

// The files of the target folder, name to bytes.
std::map<std::string, std::string> folderContents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename().string()] = readBytes(entry.path());
    return files;
}

// A rebuild that fails after its first cabinets, or is cancelled, leaves the
// previous set exactly as it was (no new first cabinet beside old followers)
// and lists it; a smaller set that succeeds removes the old set's extra
// cabinets.
TEST_F(BuildDriverTest, SpanningSetIsReplacedWholeOrNotAtAll) {
    package.m_bCompression = 0;
    package.m_bCapSingle = 0;
    package.m_nCabSize = 50000;
    for (int i = 0; i < 6; ++i) addFile("f" + std::to_string(i) + ".dat", noiseData(30000, 40 + i));
    ASSERT_TRUE(build());
    const std::vector<std::string> previous = package.m_arrOutputFiles;
    ASSERT_GE(previous.size(), 4u);
    const auto before = folderContents(out(""));

    // New data, and a file that goes missing after the first cabinets are full.
    for (int i = 0; i < 6; ++i) writeBytes(dir / "src" / ("f" + std::to_string(i) + ".dat"), noiseData(30000, 50 + i));
    package.AddFile((dir / "src" / "gone.dat").string());
    ui.queueAnswer(Answer::Yes);  // go on without the missing file
    EXPECT_FALSE(build());
    EXPECT_EQ(folderContents(out("")), before);
    EXPECT_EQ(package.m_arrOutputFiles, previous);

    package.RemoveFile(package.GetFileCount() - 1);
    host.filesSeen = 0;
    host.abortAfterFiles = 4;
    EXPECT_FALSE(build());
    EXPECT_EQ(folderContents(out("")), before);
    EXPECT_EQ(package.m_arrOutputFiles, previous);

    // Fewer, smaller files: two cabinets, the rest of the old set goes.
    host.abortAfterFiles = -1;
    host.abortRequested = 0;
    package.RemoveAllFiles();
    addFile("small.dat", noiseData(60000, 60));
    ASSERT_TRUE(build()) << (ui.shown().empty() ? "" : ui.shown().back().text + " / " + ui.shown().back().details);
    EXPECT_EQ(package.m_arrOutputFiles, (std::vector<std::string>{"Demo1.CAB", "Demo2.CAB"}));
    std::vector<std::string> left;
    for (const auto& [name, bytes] : folderContents(out(""))) left.push_back(name);
    EXPECT_EQ(left, package.m_arrOutputFiles);
    EXPECT_EQ(run("cabextract -t " + quoted(out("Demo1.CAB"))).exitCode, 0);
}

// pcn.cfg holds the scrambled password: a cancelled or failed wizard build
// removes it as a finished one does.
TEST_F(BuildDriverTest, WizardBuildThatDoesNotFinishRemovesItsConfigFile) {
    for (int i = 0; i < 6; ++i) addFile("f" + std::to_string(i) + ".bin", noiseData(200000, 70 + i));
    package.m_bCab = 0;
    package.m_bCabWiz = 1;
    package.m_bPassword = 1;
    package.m_strPassword = "s3cret";
    package.SetKindFromFlags();
    host.abortAfterFiles = 2;
    EXPECT_FALSE(build());
    EXPECT_FALSE(fs::exists(out("pcn.cfg")));
    EXPECT_TRUE(package.m_arrOutputFiles.empty());

    host.abortAfterFiles = -1;  // no PilotStub.Exe: the join fails
    host.abortRequested = 0;
    EXPECT_FALSE(build());
    EXPECT_FALSE(fs::exists(out("pcn.cfg")));
    EXPECT_EQ(package.m_arrOutputFiles, std::vector<std::string>{"Demo.CAB"});
}

// A package whose INF page was never shown has no INF text: the build writes
// the generated text, never an empty INF, also into the cabinet.
TEST_F(BuildDriverTest, PackageWithoutInfTextShipsTheGeneratedInf) {
    addFile("readme.txt", "read me");
    package.m_bCreateInf = 1;
    package.m_bIncludeInf = 1;
    package.m_strInfText.clear();
    ASSERT_TRUE(build());
    const std::string inf = readBytes(out("Demo.Inf"));
    EXPECT_EQ(inf.rfind(";Demo\r\n\r\n[Version]\r\n", 0), 0u) << inf;
    EXPECT_NE(inf.find("[readme.txt]\r\nfile=thiscab\r\n"), std::string::npos) << inf;
    EXPECT_EQ(package.m_strInfText, inf);
    const fs::path into = dir / "x";
    ASSERT_EQ(run("cabextract -q -d " + quoted(into) + " " + quoted(out("Demo.CAB"))).exitCode, 0);
    EXPECT_EQ(readBytes(into / "Demo.Inf"), inf);
}

// Names no Windows extractor can write safely are refused before anything is
// written, all of them in one message.
TEST_F(BuildDriverTest, UnsafeNamesAreRefusedTogetherBeforeAnythingIsWritten) {
    addFile("fine.txt", "fine");
    addFile("..\\..\\Windows\\evil.dll", "evil");
    addFile("line\nbreak.txt", "newline");
    addFile("CON.txt", "device");
    addFile("com7", "device");
    addFile("a:b.txt", "stream");
    addFile(std::string("latin\xE9.txt"), "not UTF-8");
    package.m_bCreateInf = 1;
    package.m_bRestoreDirs = 1;
    EXPECT_FALSE(build());
    ASSERT_EQ(ui.shown().size(), 1u);
    const std::string& text = ui.shown()[0].text;
    for (const char* name : {"evil.dll", "line\nbreak.txt", "CON.txt", "com7", "a:b.txt", "latin\xE9.txt"})
        EXPECT_NE(text.find(name), std::string::npos) << name << " in " << text;
    EXPECT_EQ(text.find("fine.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(out("")));
    EXPECT_EQ(package.m_bRebuild, 1);
    EXPECT_EQ(host.steps.back(), kBuildFailed);
}

// Two entries of one cabinet that Windows takes for the same file (names
// compared ignoring case, pcn.cfg and the mini setup included) are refused
// with every source, before anything is written; with their folders kept
// they are two files.
TEST_F(BuildDriverTest, StoredNameCollisionsAreRefusedBeforeAnythingIsWritten) {
    addFile("a/readme.txt", "a");
    addFile("b/README.TXT", "b");
    addFile("unique.txt", "u");
    package.m_bCreateInf = 1;
    EXPECT_FALSE(build());
    ASSERT_EQ(ui.shown().size(), 1u);
    const std::string& text = ui.shown()[0].text;
    for (const std::string& part : {std::string("readme.txt:"), (dir / "src/a/readme.txt").string(),
                                    (dir / "src/b/README.TXT").string(), std::string("Restore Directory Structure")})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    EXPECT_EQ(text.find("unique.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(out("")));
    EXPECT_EQ(host.steps.back(), kBuildFailed);

    package.m_bRestoreDirs = 1;
    ASSERT_TRUE(build());
    const CommandResult listing = run("cabextract -l " + quoted(out("Demo.CAB")));
    EXPECT_NE(listing.output.find("a/readme.txt"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find("b/README.TXT"), std::string::npos) << listing.output;
}

TEST_F(BuildDriverTest, TheFilesABuildAddsCountAsEntriesOfTheCabinet) {
    addFile("PCN.CFG", "a user's own file");
    addFile("tinysetup.exe", "another mini setup");
    addFile("Demo.inf", "an INF of the user's");
    package.m_bCab = 0;
    package.m_bCabWiz = 1;
    package.m_bMiniSetup = 1;
    package.m_bCreateInf = 1;
    package.m_bIncludeInf = 1;
    package.SetKindFromFlags();
    std::vector<std::string> clashes;
    for (const NameCollision& collision : FindNameCollisions(PlannedCabinetEntries(package)))
        clashes.push_back(collision.stored);
    EXPECT_EQ(clashes, (std::vector<std::string>{"pcn.cfg", "tinysetup.exe", "Demo.inf"}));
    EXPECT_FALSE(build());
    EXPECT_FALSE(fs::exists(out("")));

    // Windows also drops trailing dots and blanks, and folds case beyond ASCII.
    EXPECT_EQ(windowsNameKey("Docs\\\xC3\xA9T\xC3\xA9.txt. "), windowsNameKey("DOCS\\\xC3\x89T\xC3\x89.TXT"));
    EXPECT_NE(windowsNameKey("a\\b.txt"), windowsNameKey("a\\c.txt"));
}

// An empty file list builds nothing: no 36-byte cabinet that no extractor opens.
TEST_F(BuildDriverTest, APackageWithoutFilesIsNotBuilt) {
    package.m_bCreateInf = 1;
    EXPECT_FALSE(build());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, kNoFiles);
    EXPECT_FALSE(fs::exists(out("")));
    EXPECT_EQ(package.m_bRebuild, 1);
}

// The INF describes the cabinets beside it: a build that fails or is
// cancelled leaves the last build's INF (and its copy in the source folder).
TEST_F(BuildDriverTest, AFailedOrCancelledBuildLeavesThePreviousInf) {
    for (int i = 0; i < 6; ++i) addFile("f" + std::to_string(i) + ".bin", noiseData(100000, 90 + i));
    package.m_bCreateInf = 1;
    package.m_bIncludeInf = 1;
    package.m_strInfText = "old INF";
    ASSERT_TRUE(build());
    const auto before = folderContents(out(""));
    ASSERT_EQ(before.at("Demo.Inf"), "old INF");

    package.m_strInfText = "new INF";
    host.abortAfterFiles = 2;
    EXPECT_FALSE(build());
    EXPECT_EQ(folderContents(out("")), before);
    EXPECT_EQ(readBytes(dir / "src" / "Demo.Inf"), "old INF");

    // A first build that fails leaves no INF at all.
    fs::remove_all(out(""));
    fs::remove(dir / "src" / "Demo.Inf");
    host.filesSeen = 0;
    host.abortRequested = 0;
    EXPECT_FALSE(build());
    EXPECT_FALSE(fs::exists(out("Demo.Inf")));
    EXPECT_FALSE(fs::exists(dir / "src" / "Demo.Inf"));

    host.abortAfterFiles = -1;
    host.abortRequested = 0;
    ASSERT_TRUE(build());
    EXPECT_EQ(readBytes(out("Demo.Inf")), "new INF");
}

// Outputs that are complete but not signed as asked are an outcome of their
// own, so that the command line does not report them as signed.
TEST_F(BuildDriverTest, SigningSkippedAtTheCredentialsQuestionIsIncompleteSigning) {
    addFile("a.txt", "a");
    package.m_bSignature = 1;
    package.m_strSignCredentials = (dir / "missing.spc").string();
    package.m_strSignKey = "container";
    ui.queueAnswer(Answer::Cancel);
    BuildDriver driver(package, host, ui, settings.get());
    EXPECT_TRUE(driver.run());
    EXPECT_EQ(driver.outcome(), BuildOutcome::SigningIncomplete);
    EXPECT_EQ(package.m_arrOutputFiles, std::vector<std::string>{"Demo.CAB"});

    package.m_bSignature = 0;
    BuildDriver unsigned_(package, host, ui, settings.get());
    EXPECT_TRUE(unsigned_.run());
    EXPECT_EQ(unsigned_.outcome(), BuildOutcome::Complete);
}

// The first cabinet of a spanning self-extractor leaves room for the stub the
// join will use, chosen from the same settings store.
TEST_F(BuildDriverTest, SpanningSelfExtractorFitsItsStubFromTheBuildsSettings) {
    const fs::path stub = dir / "BigExtract.Exe";
    writeBytes(stub, "MZ" + std::string(40000, 'x'));
    settings->writeString("Settings", "Self Extractor", stub.string());
    package.m_bCab = 0;
    package.m_bCabSelf = 1;
    package.m_bCapSingle = 0;
    package.m_nCabSize = 100000;
    package.m_bCompression = 0;
    package.SetKindFromFlags();
    for (int i = 0; i < 4; ++i) addFile("f" + std::to_string(i) + ".dat", noiseData(45000, 80 + i));
    ASSERT_TRUE(build()) << (ui.shown().empty() ? "" : ui.shown().back().text);
    ASSERT_EQ(package.m_arrOutputFiles.front(), "Demo.EXE");
    EXPECT_LE(fs::file_size(out("Demo.EXE")), 100000u);
}

TEST_F(BuildDriverTest, TargetFolderThatCannotBeMade) {
    addFile("a.txt", "a");
    writeBytes(dir / "out", "a file where the folder should be");
    EXPECT_FALSE(build());
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().text.rfind("Error Creating Directory\n\n", 0), 0u) << ui.shown().back().text;
    EXPECT_EQ(package.m_bRebuild, 1);
}

TEST_F(BuildDriverTest, WorkerRunsOneBuildAtATimeAndReportsItsEnd) {
    for (int i = 0; i < 4; ++i) addFile("f" + std::to_string(i) + ".bin", noiseData(300000, 30 + i));
    CCabObj other;
    StepRecorder otherHost;
    BuildWorker first, second;
    std::atomic<int> ends{0};
    std::atomic<bool> result{false};
    ASSERT_TRUE(first.start(package, host, ui, [&](bool ok) { result = ok; ++ends; }, settings.get()));
    EXPECT_FALSE(second.start(other, otherHost, ui, nullptr, settings.get()));
    first.wait();
    EXPECT_EQ(ends.load(), 1);
    EXPECT_TRUE(result.load());
    EXPECT_FALSE(first.running());
    // Once it ended, the next build may start.
    EXPECT_TRUE(second.start(package, otherHost, ui, nullptr, settings.get()));
}

}  // namespace
}  // namespace pcn
