// The rich-text reader on the summary the build writes, on the parts of the
// format it shows, and on damaged input.
#include <gtest/gtest.h>

#include <string>

#include "building/Summary.h"
#include "editing/core/RtfReader.h"
#include "model/CCabObj.h"

namespace pcn {
namespace {

const RtfRun* findRun(const RtfDocument& document, std::string_view text) {
    for (const RtfParagraph& paragraph : document.paragraphs)
        for (const RtfRun& run : paragraph.runs)
            if (run.text.find(text) != std::string::npos) return &run;
    return nullptr;
}

TEST(RtfReader, SummaryOfAWizardPackageReadsAsItsTextWithItsFormatting) {
    CCabObj package;
    package.m_bCab = 0;
    package.m_bCabWiz = 1;
    package.m_strCompany = "Ann & Co";
    package.m_strProduct = "Tools";
    package.m_strCopyright = "Copyright \xC2\xA9 2026 Ann \xE2\x82\xAC";
    package.m_strSourceFolder = "c:\\src\\";
    package.AddFile("c:\\src\\bin\\app.exe");
    package.m_bMiniSetup = 1;
    package.m_bShortcuts = 1;
    package.m_arrShortcutDesc = {"App"};
    package.m_arrShortcutFile = {"bin\\app.exe"};
    package.m_nShortcutFolder = kShortcutFolderCommonPrograms;

    const RtfDocument document = ParseRtf(SummaryText(package));
    const std::string text = document.plainText();
    EXPECT_EQ(text.rfind("Package Summary\n____________________________________\n", 0), 0u) << text;
    EXPECT_NE(text.find("Company: Ann & Co\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Copyright: Copyright \xC2\xA9 2026 Ann \xE2\x82\xAC\n"), std::string::npos) << text;
    // Paths are doubled in the rich text and single on screen.
    EXPECT_NE(text.find("Source Directory: c:\\src\\\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Files: \n\tc:\\src\\bin\\app.exe\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\t1. App\n\t    bin\\app.exe\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Shortcut Type: Common Programs\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("rtf1"), std::string::npos) << text;
    EXPECT_EQ(text.find("Times New Roman"), std::string::npos) << text;

    const RtfRun* title = findRun(document, "Package Summary");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->format.fontName, "Book Antiqua");
    EXPECT_EQ(title->format.fontSize, 28);
    EXPECT_TRUE(title->format.hasColour);
    EXPECT_EQ(title->format.colour, 0x0000FFu);
    EXPECT_FALSE(title->format.bold);
    const RtfRun* rule = findRun(document, "____");
    ASSERT_TRUE(rule);
    EXPECT_TRUE(rule->format.bold);

    const RtfRun* label = findRun(document, "Company: ");
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->format.bold);
    EXPECT_EQ(label->format.fontName, "Times New Roman");
    EXPECT_EQ(label->format.fontSize, 20);
    const RtfRun* value = findRun(document, "Ann & Co");
    ASSERT_TRUE(value);
    EXPECT_FALSE(value->format.bold);
    EXPECT_FALSE(value->format.hasColour);
}

TEST(RtfReader, EscapesUnicodeFallbacksAndSkippedDestinations) {
    const RtfDocument document = ParseRtf(
        "{\\rtf1\\ansi{\\*\\generator Writer 1.0;}{\\info{\\title Hidden}}{\\stylesheet{\\s0 Normal;}}"
        "caf\\'e9 \\'80 \\u8364? \\uc2\\u-10179\\u-8704xy!\\uc1 \\i it\\i0  \\ul un\\ulnone \\unknownword7 end\\tab x}");
    EXPECT_EQ(document.plainText(), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x82\xAC \xF0\x9F\x98\x80!it unend\tx\n");
    const RtfRun* italic = findRun(document, "it");
    ASSERT_TRUE(italic);
    EXPECT_TRUE(italic->format.italic);
    const RtfRun* underlined = findRun(document, "un");
    ASSERT_TRUE(underlined);
    EXPECT_TRUE(underlined->format.underline);
}

TEST(RtfReader, DamagedInputGivesADocumentAndKeepsTheTextItCanRead) {
    const std::string cases[] = {
        "",
        "{",
        "}}}}",
        "\\",
        "{\\rtf1 text\\'",
        "{\\rtf1 text\\'4",
        "{\\rtf1 text\\'zz more",
        "{\\rtf1 \\u",
        "{\\rtf1 \\u-",
        "{\\rtf1 \\u99999999999999999999 x}",
        "{\\rtf1 \\fs-5 \\fs99999999 \\cf99 \\f77 \\uc99999 \\u55296 lone}",
        "{\\fonttbl{\\f0 unterminated",
        "{\\colortbl\\red300\\green-4\\blue;;",
        std::string(100000, '{') + "deep" + std::string(100000, '}'),
        std::string("\0\xFF\x80{\\b\0}", 8),
        "\\" + std::string(5000, 'a') + "123456789012345678901234567890 tail",
    };
    for (const std::string& input : cases) {
        const RtfDocument document = ParseRtf(input);
        EXPECT_FALSE(document.paragraphs.empty()) << input.substr(0, 40);
    }
    EXPECT_EQ(ParseRtf("{\\rtf1 text\\'zz more").plainText(), "textzz more\n");
    EXPECT_EQ(ParseRtf(std::string(100000, '{') + "deep" + std::string(100000, '}') + "after").plainText(),
              "deepafter\n");
    EXPECT_EQ(ParseRtf("\\" + std::string(5000, 'a') + "123456789012345678901234567890 tail").plainText(), "tail\n");
}

}  // namespace
}  // namespace pcn
