// The cabinet INF text against the PE fixtures' known facts, and the INF
// file as the build and the property sheet's INF page write it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "building/CabInfWriter.h"
#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "platform/pe/tests/FixtureFacts.h"

namespace pcn {
namespace {

namespace fs = std::filesystem;
using pe::testing::factsOf;
using pe::testing::fixturePath;

const std::string kHeader = ";Fixture Product\r\n\r\n[Version]\r\nSignature=$CHICAGO$\r\n\r\n[Add.Code]\r\n";

class CabInfTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("pcn-inf-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "src");
        package_.m_strProduct = "Fixture Product";
        package_.m_strProjectName = "Fixture";
        package_.m_strSourceFolder = (folder_ / "src").string() + "/";
        package_.m_strTargetFolder = (folder_ / "out" / "nested").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A fixture copied into the source folder under another name.
    std::string place(const std::string& fixture, const std::string& as) {
        fs::path target = folder_ / "src" / as;
        fs::create_directories(target.parent_path());
        fs::copy_file(fixturePath(fixture), target, fs::copy_options::overwrite_existing);
        return target.string();
    }
    std::string writeText(const std::string& as, const std::string& bytes) {
        fs::path target = folder_ / "src" / as;
        std::ofstream(target, std::ios::binary) << bytes;
        return target.string();
    }
    std::string fileText(const fs::path& file) {
        std::string bytes;
        EXPECT_TRUE(readWholeFile(file, bytes)) << file;
        return bytes;
    }

    fs::path folder_;
    CCabObj package_;
    ScriptedUserInterface ui_;
};

TEST_F(CabInfTest, NoFilesGivesHeaderAndOneEmptyLine) {
    EXPECT_EQ(GenerateCabInfText(package_), kHeader + "\r\n");
}

TEST_F(CabInfTest, PlainTextFileHasNoVersion) {
    package_.AddFile(writeText("readme.txt", "Read me.\r\n"));
    EXPECT_EQ(GenerateCabInfText(package_),
              kHeader + "readme.txt=readme.txt\r\n\r\n" + "\r\n[readme.txt]\r\nfile=thiscab\r\nFileVersion=0,0,0,0\r\n");
}

// The first of the fixture's coclasses ("{...} | {...}").
template <typename Facts>
std::string firstCoclass(const Facts& facts) {
    const std::string all = facts.value("coclass-guids");
    return all.substr(0, all.find(' '));
}

TEST_F(CabInfTest, SelfRegisteringControlWithTypeLibrary) {
    for (const std::string fixture : {"control32.ocx", "control64.ocx"}) {
        const auto& facts = factsOf(fixture);
        CCabObj package;
        package.m_strProduct = "Fixture Product";
        package.AddFile(place(fixture, "Fixture.OCX"));
        // The clsid is the first coclass's, the class a browser creates, not
        // the interface that comes first in the library.
        EXPECT_EQ(GenerateCabInfText(package),
                  kHeader + "Fixture.OCX=Fixture.OCX\r\n\r\n" + "\r\n[Fixture.OCX]\r\nfile=thiscab\r\nFileVersion=" +
                      facts.value("version") + "\r\nRegisterServer=yes\r\nDestDir=11\r\nclsid=" +
                      firstCoclass(facts) + "\r\n")
            << fixture;
    }
}

TEST_F(CabInfTest, ProgramWithVersionGetsNoDestDirOrClsid) {
    package_.AddFile(place("tool64.exe", "tool.EXE"));
    EXPECT_EQ(GenerateCabInfText(package_), kHeader + "tool.EXE=tool.EXE\r\n\r\n" +
                                                "\r\n[tool.EXE]\r\nfile=thiscab\r\nFileVersion=" +
                                                factsOf("tool64.exe").value("version") + "\r\nRegisterServer=no\r\n");
}

TEST_F(CabInfTest, LibrariesWithoutVersionOrTranslationOrTypeLibrary) {
    package_.AddFile(place("plain32.dll", "plain.dll"));
    package_.AddFile(place("regonly64.dll", "regonly.Dll"));
    package_.AddFile((folder_ / "src" / "missing.ocx").string());
    std::string text = GenerateCabInfText(package_);
    // No version: "0,0,0,0" but still a destination.
    EXPECT_NE(text.find("\r\n[plain.dll]\r\nfile=thiscab\r\nFileVersion=0,0,0,0\r\nDestDir=11\r\n\r\n"), std::string::npos)
        << text;
    // A version resource without translation: empty version text; registers
    // by its export.
    EXPECT_NE(text.find("\r\n[regonly.Dll]\r\nfile=thiscab\r\nFileVersion=\r\nRegisterServer=yes\r\nDestDir=11\r\n\r\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("\r\n[missing.ocx]\r\nfile=thiscab\r\nFileVersion=0,0,0,0\r\nDestDir=11\r\n")) << text;
}

TEST_F(CabInfTest, OnlyComponentExtensionsAreExamined) {
    // A control under a text name is not examined; a type library under a
    // library name still gives its identifier.
    package_.AddFile(place("control32.ocx", "control.txt"));
    package_.AddFile(place("control.tlb", "types.dll"));
    std::string text = GenerateCabInfText(package_);
    EXPECT_NE(text.find("\r\n[control.txt]\r\nfile=thiscab\r\nFileVersion=0,0,0,0\r\n\r\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\r\n[types.dll]\r\nfile=thiscab\r\nFileVersion=0,0,0,0\r\nDestDir=11\r\nclsid=" +
                               firstCoclass(factsOf("control.tlb")) + "\r\n"))
        << text;
}

TEST_F(CabInfTest, TwoFilesOfOneNameGiveTwoLinesAndTwoBlocks) {
    package_.AddFile(writeText("a/readme.txt", ""));
    package_.AddFile(writeText("b/readme.txt", ""));
    package_.AddFile("C:\\Program Files\\Old\\Notes.TXT");  // made on Windows
    std::string block = "\r\n[readme.txt]\r\nfile=thiscab\r\nFileVersion=0,0,0,0\r\n";
    EXPECT_EQ(GenerateCabInfText(package_),
              kHeader + "readme.txt=readme.txt\r\nreadme.txt=readme.txt\r\nNotes.TXT=Notes.TXT\r\n\r\n" + block + block +
                  "\r\n[Notes.TXT]\r\nfile=thiscab\r\nFileVersion=0,0,0,0\r\n");
}

TEST_F(CabInfTest, BuildWritesStoredTextAndIncludesTheCopyOnce) {
    package_.m_strInfText = ";edited by hand\r\n[Version]\r\n";
    package_.m_bIncludeInf = 1;
    ASSERT_TRUE(WriteCabInfForBuild(package_, ui_));
    EXPECT_TRUE(ui_.shown().empty());
    EXPECT_EQ(CabInfFilePath(package_), (folder_ / "out" / "nested" / "Fixture.Inf").string());
    EXPECT_EQ(fileText(folder_ / "out" / "nested" / "Fixture.Inf"), package_.m_strInfText);
    std::string copy = (folder_ / "src" / "Fixture.Inf").string();
    EXPECT_EQ(fileText(copy), package_.m_strInfText);
    EXPECT_EQ(package_.m_arrBuildFiles, std::vector<std::string>{copy});

    // A second run (or a table that lists the copy) does not add it again.
    ASSERT_TRUE(WriteCabInfForBuild(package_, ui_));
    EXPECT_EQ(package_.m_arrBuildFiles, std::vector<std::string>{copy});
}

TEST_F(CabInfTest, BuildWithoutIncludeLeavesSourceFolderAlone) {
    package_.m_strInfText = GenerateCabInfText(package_);
    ASSERT_TRUE(WriteCabInfForBuild(package_, ui_));
    EXPECT_FALSE(fs::exists(folder_ / "src" / "Fixture.Inf"));
    EXPECT_TRUE(package_.m_arrBuildFiles.empty());
}

TEST_F(CabInfTest, FolderAndFileFailuresAreShownAndWritingStops) {
    writeText("blocker", "a file where a folder should be");
    package_.m_strTargetFolder = (folder_ / "src" / "blocker" / "out").string();
    package_.m_bIncludeInf = 1;
    package_.m_strInfText = "x";
    EXPECT_FALSE(WriteCabInfForBuild(package_, ui_));
    ASSERT_EQ(ui_.shown().size(), 2u);
    EXPECT_EQ(ui_.shown()[0].text, "Error Creating Directory\n\n" + package_.m_strTargetFolder + "/\nError [" +
                                       std::to_string(ENOTDIR) + "]");
    EXPECT_EQ(ui_.shown()[0].icon, Icon::Error);
    EXPECT_TRUE(ui_.shown()[1].isErrorDetails);
    EXPECT_EQ(ui_.shown()[1].details, "Unable to open file:\r\n" + CabInfFilePath(package_));
    EXPECT_EQ(ui_.shown()[1].text.rfind("Error " + std::to_string(ENOTDIR) + "\n\n", 0), 0u) << ui_.shown()[1].text;
    EXPECT_FALSE(fs::exists(folder_ / "src" / "Fixture.Inf")) << "nothing else is written";
    EXPECT_TRUE(package_.m_arrBuildFiles.empty());
}

TEST_F(CabInfTest, EmptyFoldersAreReportedNeverTheRootOrTheWorkingFolder) {
    package_.m_strInfText = "x";
    package_.m_strTargetFolder.clear();
    EXPECT_FALSE(WriteCabInfForBuild(package_, ui_));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].details, "Unable to open file:\r\nFixture.Inf");
    EXPECT_FALSE(fs::exists("/Fixture.Inf"));

    ui_.clear();
    package_.m_strTargetFolder = (folder_ / "out").string();
    package_.m_strSourceFolder.clear();
    package_.m_bIncludeInf = 1;
    EXPECT_TRUE(WriteCabInfForBuild(package_, ui_)) << "the INF itself is written";
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].details, "Unable to open file:\r\nFixture.Inf");
    EXPECT_FALSE(fs::exists(fs::current_path() / "Fixture.Inf"));
    EXPECT_TRUE(package_.m_arrBuildFiles.empty());
}

TEST_F(CabInfTest, PageShowsTheFileOrOffersToRebuild) {
    package_.AddFile(writeText("readme.txt", ""));
    ui_.queueAnswer(Answer::No);
    ASSERT_TRUE(LoadCabInfForPage(package_, ui_));
    EXPECT_EQ(*LoadCabInfForPage(package_, ui_), GenerateCabInfText(package_)) << "default answer: Yes";
    ASSERT_EQ(ui_.shown().size(), 2u);
    EXPECT_EQ(ui_.shown()[0].text, "Unable to find Cabinet Information File:\n" + CabInfFilePath(package_) +
                                       "\n\nWould you like to rebuild the INF file?");
    EXPECT_EQ(ui_.shown()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui_.shown()[0].icon, Icon::Question);
    EXPECT_TRUE(fs::is_directory(package_.m_strTargetFolder)) << "the page creates the target folder";

    ui_.queueAnswer(Answer::No);
    ui_.clear();
    EXPECT_EQ(*LoadCabInfForPage(package_, ui_), "");

    std::ofstream(CabInfFilePath(package_), std::ios::binary) << "as on disk\r\n";
    ui_.clear();
    EXPECT_EQ(*LoadCabInfForPage(package_, ui_), "as on disk\r\n");
    EXPECT_TRUE(ui_.shown().empty());

    package_.m_bCreateInf = 0;
    EXPECT_FALSE(LoadCabInfForPage(package_, ui_));
}

TEST_F(CabInfTest, PageSaveStoresTextAndListsTheCopyOnce) {
    package_.m_bIncludeInf = 1;
    ASSERT_TRUE(SaveCabInfFromPage(package_, "typed\r\n", ui_));
    ASSERT_TRUE(SaveCabInfFromPage(package_, "typed again\r\n", ui_));
    EXPECT_EQ(package_.m_strInfText, "typed again\r\n");
    EXPECT_EQ(fileText(CabInfFilePath(package_)), "typed again\r\n");
    std::string copy = (folder_ / "src" / "Fixture.Inf").string();
    EXPECT_EQ(fileText(copy), "typed again\r\n");
    ASSERT_EQ(package_.GetFileCount(), 1);
    EXPECT_EQ(package_.GetFilePath(0), copy);
    EXPECT_EQ(package_.GetFileDest(0), "%DESTDIR%");
    EXPECT_EQ(package_.GetFileRegister(0), "0");
}

}  // namespace
}  // namespace pcn
