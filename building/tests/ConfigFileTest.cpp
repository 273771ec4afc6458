// The wizard stub's configuration file: its bytes for the shapes a package
// can take, the password scramble, and what a failed write leaves behind.

#include <gtest/gtest.h>

#include <filesystem>

#include "building/ConfigFile.h"
#include "building/tests/WritersTestSupport.h"
#include "distribution/ScriptedUserInterface.h"

namespace pcn {
namespace {

using test::makePackage;
using test::ScratchFolder;
using test::testData;

std::unique_ptr<CCabObj> plainWizard(const std::string& target) {
    auto p = makePackage(kKindSelfExtractingWizard, target);
    p->m_strCompany = "Acme";
    p->m_strCopyright = "(c) 2026 Acme";
    p->m_strProduct = "Tools";
    p->m_strDescription = "Acme tools";
    p->m_strVersion = "2.0";
    p->m_strInstallDir = "%PROGRAMFILES%\\Tools";
    p->AddFile("/src/tools.exe");
    p->AddFile("/src/readme.txt");
    return p;
}

std::unique_ptr<CCabObj> fullWizard(const std::string& target) {
    auto p = makePackage(kKindSelfExtractingWizard, target);
    p->m_strCompany = "Acme";
    p->m_strCopyright = "(c) 2026 Acme";
    p->m_strProduct = "Tools";
    p->m_strDescription = "Acme tools";
    p->m_strComment = "Nightly";
    p->m_strVersion = "2.0";
    p->m_bPassword = 1;
    p->m_strPassword = "s3cret";
    p->m_bText = 1;
    p->m_strText = "Welcome\r\nto Tools\r\n\r\nEn\rjoy";
    p->m_bLicense = 1;
    p->m_strLicenseFile = "/home/u/docs/License.txt";
    p->m_strInstallDir = "%PROGRAMFILES%\\Tools";
    p->m_strExe = "%DESTDIR%\\setup.exe";
    p->m_strCommandLine = "/quiet";
    p->m_strExeDir = "%DESTDIR%";
    p->m_nShowType = 3;
    p->m_bUserDir = 0;
    p->m_bRestoreDirs = 1;
    p->m_bMiniSetup = 1;
    p->m_bShortcutGroup = 1;
    p->m_strGroupDesc = "Acme Tools";
    p->m_bShortcuts = 1;
    p->m_arrShortcutDesc = {"Tools", "Read Me"};
    p->m_arrShortcutFile = {"%DESTDIR%\\tools.exe", "%DESTDIR%\\readme.txt"};
    p->m_nShortcutFolder = kShortcutFolderCommonPrograms;
    p->AddFile("/src/tools.exe");
    p->AddFile("/src/helper.dll");
    p->AddFile("/src/sub/plugin.ocx");
    p->SetFileDest(1, "%SYSTEM%");
    p->SetFileDest(2, "%DESTDIR%\\sub");
    p->SetFileRegister(0, true);
    p->SetFileRegister(2, true);
    return p;
}

TEST(ConfigFileText, PlainWizardHasEmptyValuesAndRegisterLine) {
    auto p = plainWizard("/out");
    EXPECT_EQ(ConfigFileText(*p, "IGNOREDXXX"), testData("wizard_plain.cfg"));
}

TEST(ConfigFileText, EverySettingInUse) {
    auto p = fullWizard("/out");
    EXPECT_EQ(ConfigFileText(*p, "Kq7!x{Z0a~"), testData("wizard_full.cfg"));
}

TEST(ConfigFileText, NoFilesEndsWithEmptyLineInsteadOfRegister) {
    auto p = plainWizard("/out");
    p->RemoveAllFiles();
    EXPECT_EQ(ConfigFileText(*p, "IGNOREDXXX"), testData("wizard_nofiles.cfg"));
    p->m_bMiniSetup = 1;
    EXPECT_EQ(ConfigFileText(*p, "IGNOREDXXX"), testData("wizard_minisetup_nofiles.cfg"));
}

TEST(ConfigFileText, DisplayTypeCodes) {
    const int expected[] = {5, 2, 3, 10, 0};
    for (int type = 0; type < 5; ++type) EXPECT_EQ(ShowWindowCode(type), expected[type]) << type;
    EXPECT_EQ(ShowWindowCode(5), 5);
    EXPECT_EQ(ShowWindowCode(-1), 5);

    auto p = plainWizard("/out");
    p->m_nShowType = 4;
    EXPECT_NE(ConfigFileText(*p, "").find("\r\nDisplayType=0\r\n"), std::string::npos);
}

TEST(ConfigFileText, ProtectedWithoutPasswordStillWritesFiller) {
    auto p = plainWizard("/out");
    p->m_bPassword = 1;
    EXPECT_NE(ConfigFileText(*p, "0123456789").find("\r\nAdgangB=1\r\nAdgang=0123456789\r\n"), std::string::npos);
    // A password left over from before protection was switched off is not written.
    p->m_bPassword = 0;
    p->m_strPassword = "old";
    EXPECT_NE(ConfigFileText(*p, "0123456789").find("\r\nAdgangB=0\r\nAdgang=\r\n"), std::string::npos);
}

TEST(PasswordScramble, RoundTripsEveryByteTheStubCanRead) {
    std::string password;
    for (int c = 1; c < 256; ++c) {
        std::string one(1, static_cast<char>(c));
        std::string scrambled = ScramblePassword(one, "ABCDEFGHIJ");
        unsigned char stored = static_cast<unsigned char>(scrambled.back());
        if (stored == 0 || stored == '\r' || stored == '\n') continue;
        password += one;
    }
    ASSERT_EQ(password.size(), 252u);
    password.resize(kMaxPasswordLength);
    std::string filler = RandomPasswordFiller();
    std::string scrambled = ScramblePassword(password, filler);
    EXPECT_EQ(scrambled.size(), 259u);
    EXPECT_EQ(scrambled.substr(0, 10), filler);
    EXPECT_EQ(static_cast<unsigned char>(ScramblePassword("a", filler)[10]), 'a' + 80);
    EXPECT_EQ(static_cast<unsigned char>(ScramblePassword("\xc8", filler)[10]), 200 + 80 - 256);
    EXPECT_EQ(UnscramblePassword(scrambled), password);
}

TEST(PasswordScramble, FillerIsTenCharactersOfTheTableAndVaries) {
    EXPECT_EQ(PasswordFillerCharacters().size(), 92u);
    std::string first = RandomPasswordFiller();
    bool varied = false;
    for (int i = 0; i < 20 && !varied; ++i) {
        std::string filler = RandomPasswordFiller();
        ASSERT_EQ(filler.size(), kPasswordFillerLength);
        for (char c : filler) EXPECT_NE(PasswordFillerCharacters().find(c), std::string_view::npos) << c;
        varied = filler != first;
    }
    EXPECT_TRUE(varied);
}

TEST(PasswordScramble, PasswordsTheStubCannotReadAreRefused) {
    auto p = plainWizard("/out");
    p->m_bPassword = 1;
    p->m_strPassword = std::string(249, 'x');
    EXPECT_EQ(ConfigFileProblem(*p), "");
    p->m_strPassword = std::string(250, 'x');
    EXPECT_NE(ConfigFileProblem(*p).find("too long"), std::string::npos);
    p->m_strPassword = "deg\xb0";  // scrambles to NUL
    EXPECT_NE(ConfigFileProblem(*p).find("cannot read back"), std::string::npos);
    p->m_bPassword = 0;
    EXPECT_EQ(ConfigFileProblem(*p), "");
}

// A line break in a single-line field would add a key of its own ahead of
// the real one ("Exe=" injected through the description): refused, and
// nothing is written. The display text keeps its "|" encoding.
TEST(WriteConfigFile, LineBreaksInSingleLineFieldsAreRefused) {
    ScratchFolder scratch;
    auto p = plainWizard(scratch.str("out"));
    p->m_strText = "two\r\nlines";
    EXPECT_EQ(ConfigFileProblem(*p), "");
    p->m_strDescription = "Tools\r\nExe=evil.exe";
    EXPECT_EQ(ConfigFieldWithLineBreak(*p), "Package Description");
    ScriptedUserInterface ui;
    EXPECT_FALSE(WriteConfigFile(*p, ui));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, std::string("Package Description: ") + kLineBreakRefused);
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "out" / "pcn.cfg"));

    p->m_strDescription = "Tools";
    p->m_strCommandLine = "/quiet\nExe=evil.exe";
    EXPECT_EQ(ConfigFieldWithLineBreak(*p), "Command Line");
    p->m_strCommandLine.clear();
    p->SetFileDest(p->AddFile("/src/a.dll"), "%SYSTEM%\nRegister=0");
    EXPECT_EQ(ConfigFieldWithLineBreak(*p), "Destination of /src/a.dll");
}

TEST(WriteConfigFile, WritesFileAndPutsItFirstInTheBuildList) {
    ScratchFolder scratch;
    auto p = fullWizard(scratch.str("out/nested"));
    p->m_arrBuildFiles = {"/src/tools.exe", "/src/helper.dll"};
    ScriptedUserInterface ui;
    ASSERT_TRUE(WriteConfigFile(*p, ui));
    EXPECT_TRUE(ui.shown().empty());
    std::string path = scratch.str("out/nested/pcn.cfg");
    EXPECT_EQ(ConfigFilePath(*p), path);
    std::string written = test::readFile(path);
    std::string scrambled = written.substr(written.find("Adgang=") + 7);
    scrambled = scrambled.substr(0, scrambled.find("\r\n"));
    EXPECT_EQ(UnscramblePassword(scrambled), "s3cret");
    // Apart from the random filler, the bytes are those of the expected file.
    std::string expected = testData("wizard_full.cfg");
    EXPECT_EQ(written.replace(written.find("Adgang=") + 7, 10, "Kq7!x{Z0a~"), expected);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(p->m_arrBuildFiles, (std::vector<std::string>{path, "/home/u/docs/License.txt", "/src/tools.exe",
                                                            "/src/helper.dll"}));
}

TEST(WriteConfigFile, LicenceFollowsOnlyWhenDisplayed) {
    ScratchFolder scratch;
    auto p = fullWizard(scratch.str());
    p->m_bLicense = 0;
    p->m_arrBuildFiles = {"/src/tools.exe"};
    ScriptedUserInterface ui;
    ASSERT_TRUE(WriteConfigFile(*p, ui));
    EXPECT_EQ(p->m_arrBuildFiles, (std::vector<std::string>{scratch.str("pcn.cfg"), "/src/tools.exe"}));
}

TEST(WriteConfigFile, RewriteReplacesTheWholeFile) {
    ScratchFolder scratch;
    auto p = fullWizard(scratch.str());
    test::writeFile(scratch.path() / "pcn.cfg", std::string(5000, 'z'));
    ScriptedUserInterface ui;
    ASSERT_TRUE(WriteConfigFile(*p, ui));
    EXPECT_EQ(test::readFile(scratch.path() / "pcn.cfg").size(), testData("wizard_full.cfg").size());
}

TEST(WriteConfigFile, TooLongPasswordIsRefusedAndNothingWritten) {
    ScratchFolder scratch;
    auto p = fullWizard(scratch.str());
    p->m_strPassword = std::string(300, 'p');
    p->m_arrBuildFiles = {"/src/tools.exe"};
    ScriptedUserInterface ui;
    EXPECT_FALSE(WriteConfigFile(*p, ui));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_NE(ui.shown()[0].text.find("The package password is too long (300 characters)"), std::string::npos);
    EXPECT_EQ(ui.shown()[0].icon, Icon::Error);
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "pcn.cfg"));
    EXPECT_EQ(p->m_arrBuildFiles, std::vector<std::string>{"/src/tools.exe"});
}

TEST(WriteConfigFile, FolderThatCannotBeCreated) {
    ScratchFolder scratch;
    test::writeFile(scratch.path() / "file", "x");
    auto p = plainWizard(scratch.str("file/out"));
    ScriptedUserInterface ui;
    EXPECT_FALSE(WriteConfigFile(*p, ui));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Error Creating Directory\n\n" + scratch.str("file/out/") + "\nError [20]");
    EXPECT_EQ(ui.shown()[0].icon, Icon::Error);
    EXPECT_TRUE(p->m_arrBuildFiles.empty());
}

TEST(WriteConfigFile, FileThatCannotBeWritten) {
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.path() / "pcn.cfg" / "in-the-way");
    auto p = plainWizard(scratch.str());
    ScriptedUserInterface ui;
    EXPECT_FALSE(WriteConfigFile(*p, ui));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_TRUE(ui.shown()[0].isErrorDetails);
    EXPECT_EQ(ui.shown()[0].text.rfind("Error ", 0), 0u) << ui.shown()[0].text;
    EXPECT_EQ(ui.shown()[0].details, "Unable to open file:\r\n" + scratch.str("pcn.cfg"));
    EXPECT_TRUE(p->m_arrBuildFiles.empty());
}

}  // namespace
}  // namespace pcn
