// The package summary: its rich text for the package shapes, what an
// independent RTF reader makes of it, and saving it as the ".doc".

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "building/Summary.h"
#include "building/tests/WritersTestSupport.h"
#include "distribution/ScriptedUserInterface.h"

namespace pcn {
namespace {

using test::makePackage;
using test::ScratchFolder;
using test::testData;

void describe(CCabObj& p) {
    p.m_strCompany = "Acme";
    p.m_strCopyright = "(c) 2026 Acme";
    p.m_strProduct = "Tools";
    p.m_strVersion = "2.0";
    p.m_strDescription = "Acme tools";
}

std::unique_ptr<CCabObj> plainCabinet(const std::string& target) {
    auto p = makePackage(kKindCabinet, target);
    describe(*p);
    p->m_strSourceFolder = "/home/u/odd\\name/src";
    p->AddFile("/home/u/odd\\name/src/a.txt");
    p->AddFile("/home/u/odd\\name/src/b.dll");
    // Wizard settings left over from an earlier kind stay out of a cabinet's summary.
    p->m_bText = 1;
    p->m_strExe = "setup.exe";
    return p;
}

std::unique_ptr<CCabObj> signedWizard(const std::string& target) {
    auto p = makePackage(kKindSelfExtractingWizard, target);
    describe(*p);
    p->m_bCompression = 0;
    p->m_bGuid = 1;
    p->m_strSourceFolder = "/src";
    p->m_bSubDirs = 1;
    p->AddFile("/src/tools.exe");
    p->m_bText = 1;
    p->m_bLicense = 1;
    p->m_strInstallDir = "%PROGRAMFILES%\\Acme\\Tools";
    p->m_nShowType = 1;
    p->m_bRestoreDirs = 1;
    p->m_bMiniSetup = 1;
    p->m_bShortcutGroup = 1;
    p->m_strGroupDesc = "Acme Tools";
    p->m_bShortcuts = 1;
    p->m_arrShortcutDesc = {"Tools", "Read Me"};
    p->m_arrShortcutFile = {"%DESTDIR%\\tools.exe", "%DESTDIR%\\readme.txt"};
    p->m_nShortcutFolder = kShortcutFolderStartup;
    p->m_bSignature = 1;
    p->m_strSignCredentials = "/keys/acme.spc";
    p->m_bMD5 = 0;
    p->m_strSignInfo = "http://acme.example/tools";
    return p;
}

// unrtf's rendering of an RTF file, without its comment lines; in the
// text format, with the indentation of each line taken off.
std::string readWithUnrtf(const std::string& file, const char* format = "--text") {
    std::string command = std::string("unrtf ") + format + " '" + file + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    std::array<char, 4096> buffer;
    while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
    ::pclose(pipe);
    std::string text;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        line.erase(0, line.find_first_not_of(" \t"));
        if (line.rfind("###", 0) != 0 && line.rfind("-----", 0) != 0) text += line + "\n";
        start = end + 1;
    }
    return text;
}

TEST(SummaryText, PlainCabinet) {
    auto p = plainCabinet("/out");
    EXPECT_EQ(SummaryText(*p), testData("cabinet_plain.rtf"));
}

TEST(SummaryText, WizardWithMiniSetupAndSignature) {
    auto p = signedWizard("/out");
    EXPECT_EQ(SummaryText(*p), testData("wizard_minisetup_signed.rtf"));
}

TEST(SummaryText, OptionalEntries) {
    auto p = signedWizard("/out");
    p->m_nShowType = 4;  // Hidden shows no display type
    p->m_bShortcutGroup = 0;
    p->m_bShortcuts = 0;
    p->m_nShortcutFolder = 0;
    p->m_bMD5 = 1;
    std::string text = SummaryText(*p);
    EXPECT_NE(text.find("Display Type: \\plain\\f2\\fs20 \\par "), std::string::npos);
    EXPECT_NE(text.find("Create Shortcut Group: \\plain\\f2\\fs20 No\\par "), std::string::npos);
    EXPECT_EQ(text.find("Shortcut Group Description: "), std::string::npos);
    EXPECT_NE(text.find("Create Shortcut: \\plain\\f2\\fs20 No\\par "), std::string::npos);
    EXPECT_EQ(text.find("Shortcut Description: "), std::string::npos);
    EXPECT_NE(text.find("Shortcut Type: \\plain\\f2\\fs20 \\par "), std::string::npos);
    EXPECT_NE(text.find("Cryptographic digest algorithm: \\plain\\f2\\fs20 MD5"), std::string::npos);

    auto self = makePackage(kKindSelfExtractingCabinet, "/out");
    text = SummaryText(*self);
    EXPECT_NE(text.find("Output Type: \\plain\\f2\\fs20 Self Extraction Cabinet\\par "), std::string::npos);
    EXPECT_NE(text.find("Files Count: \\plain\\f2\\fs20 0\\par "), std::string::npos);
    EXPECT_EQ(text.find("Program to execute"), std::string::npos);
}

TEST(SummaryText, EscapingOfPathsAndText) {
    EXPECT_EQ(SummaryEscapedValue("C:\\{GUID}\\x"), "C:\\\\\\{GUID\\}\\\\x");
    // UTF-8 goes in as the document's code page where it can, else as Unicode.
    EXPECT_EQ(SummaryEscapedValue("M\xc3\xbcller \xe2\x82\xac \xce\xa9 \xf0\x9f\x93\xa6"),
              "M\\'fcller \\'80 \\u937? \\u-10179?\\u-8986?");
    // Bytes that are not UTF-8 are taken as the document's ANSI code page.
    EXPECT_EQ(SummaryEscapedValue("M\xfcller"), "M\\'fcller");
}

TEST(SummaryDocument, SavedDocumentReadsBackInUnrtf) {
    if (std::system("command -v unrtf >/dev/null 2>&1") != 0) GTEST_SKIP() << "unrtf is not installed";
    ScratchFolder scratch;
    auto p = signedWizard(scratch.str("out"));
    p->m_strCompany = "M\xc3\xbcller & Co";
    p->m_strSourceFolder = "/home/u/odd\\name";
    ScriptedUserInterface ui;
    ASSERT_EQ(SaveSummary(*p, SummaryText(*p), ui), SummarySaveResult::Saved);
    EXPECT_TRUE(ui.shown().empty());
    std::string path = scratch.str("out/Tools.doc");
    ASSERT_EQ(SummaryDocumentPath(*p), path);
    EXPECT_EQ(test::readFile(path), SummaryText(*p));

    std::string text = readWithUnrtf(path);
    for (const char* line : {"Package Summary", "Copyright: (c) 2026 Acme", "Source Directory: /home/u/odd\\name",
                             "Output Type: Self Extraction Wizard", "Files Count: 1", "Files: ", "/src/tools.exe",
                             "Program to execute: None", "Default Installation Directory: %PROGRAMFILES%\\Acme\\Tools",
                             "Shortcut Description: Acme Tools", "1. Tools", "%DESTDIR%\\readme.txt",
                             "Shortcut Type: Startup Programs", "Cryptographic digest algorithm: SHA 1"})
        EXPECT_NE(text.find("\n" + std::string(line) + "\n"), std::string::npos) << line << "\n--- unrtf gave:\n" << text;
    // unrtf's text format is ASCII only; its HTML shows the company's name.
    EXPECT_NE(readWithUnrtf(path, "--html").find("M&uuml;ller &amp; Co"), std::string::npos);
}

TEST(SummaryDocument, FolderFailureKeepsThePage) {
    ScratchFolder scratch;
    test::writeFile(scratch.path() / "file", "x");
    auto p = plainCabinet(scratch.str("file/out"));
    ScriptedUserInterface ui;
    EXPECT_EQ(SaveSummary(*p, SummaryText(*p), ui), SummarySaveResult::FolderError);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text.rfind("Error Creating Directory\n\n" + scratch.str("file/out/") + "\nError [", 0), 0u);
}

TEST(SummaryDocument, UnwritableDocumentIsReported) {
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.path() / "Tools.doc" / "in-the-way");
    auto p = plainCabinet(scratch.str());
    ScriptedUserInterface ui;
    EXPECT_EQ(SaveSummary(*p, SummaryText(*p), ui), SummarySaveResult::FileError);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Unable to save the package summary:\r\n" + scratch.str("Tools.doc"));
    EXPECT_TRUE(std::filesystem::is_directory(scratch.path() / "Tools.doc"));
}

}  // namespace
}  // namespace pcn
