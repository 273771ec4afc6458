// The web INF text against files written by hand, and the package files
// written into the target folder.

#include <filesystem>

#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "web/SiteAddress.h"
#include "web/WebInf.h"
#include "web/tests/WebTestSupport.h"

namespace pcn {
namespace {

using test::expected;
using test::fixture;

struct Entry {
    std::string name;
    int32_t os, cpu, include;
};

void fill(CCabObj& package, const std::vector<Entry>& entries) {
    package.m_nKind = kKindWebInf;
    for (const Entry& e : entries) {
        int i = package.AddDependency(e.name);
        package.SetDependencyOs(i, e.os);
        package.SetDependencyCpu(i, e.cpu);
        package.SetDependencyInclude(i, e.include);
    }
}

// Every location, version and library rule in one package: a control with a
// type library, a text file not specific to an OS after it, a Mac/MIPS
// program with version information, a library without a type library on
// x86 and ppc, an entry left out, and a library with an empty version text on
// Alpha; the site address ends with "/".
TEST(WebInf, EveryEntryRuleMatchesTheHandWrittenFile) {
    CCabObj package;
    package.m_strProduct = "Fixture Control";
    fill(package, {{fixture("control32.ocx"), 1, 1, 1},
                   {"C:\\Shipping\\readme.TXT", 0, 1, 1},
                   {fixture("tool64.exe"), 2, 4, 1},
                   {fixture("plain32.dll"), 1, 3, 1},
                   {fixture("control64.ocx"), 1, 1, 0},
                   {fixture("regonly64.dll"), 1, 8, 1}});
    EXPECT_EQ(BuildWebInf(package, "https://files.example/controls/"), expected("mixed.inf"));
}

TEST(WebInf, NoIncludedEntryEndsAfterTheAddCodeLine) {
    CCabObj package;
    package.m_strProduct = "Nothing Included";
    fill(package, {{fixture("control32.ocx"), 1, 1, 0}});
    EXPECT_EQ(BuildWebInf(package, "https://files.example/"), expected("none.inf"));
}

TEST(WebInf, SiteAddressComesFromTheSigningSettingsOrThePlaceholder) {
    test::TempFolder folder;
    SettingsStore settings(folder.file("settings.conf"));
    EXPECT_EQ(SiteBaseAddress(settings), kPlaceholderSiteAddress);
    settings.writeString("Settings\\CodeSign", "URL", "https://ours.example/dl");
    EXPECT_EQ(SiteBaseAddress(settings), "https://ours.example/dl");

    CCabObj package;
    fill(package, {{"C:\\readme.txt", 0, 0, 1}});
    EXPECT_NE(BuildWebInf(package).find("file=https://ours.example/dl/readme.txt\r\n"), std::string::npos);
}

class WebPackageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        package_.m_strProduct = "Fixture";
        package_.m_strProjectName = "Fixture";
        package_.m_strTargetFolder = folder_.file("out/Fixture");
        fill(package_, {{fixture("control32.ocx"), 1, 1, 1}});
    }
    test::TempFolder folder_;
    CCabObj package_;
    ScriptedUserInterface ui_;
};

TEST_F(WebPackageFiles, WritesTheInfAndWithTheTemplateOptionTheHtml) {
    ASSERT_TRUE(WriteWebPackage(package_, "inf text", "html text", ui_));
    EXPECT_EQ(test::readText(folder_.file("out/Fixture/Fixture.inf")), "inf text");
    EXPECT_FALSE(std::filesystem::exists(folder_.file("out/Fixture/Fixture.htm")));

    package_.m_pWeb->m_bHtmTemplate = 1;
    ASSERT_TRUE(WriteWebPackage(package_, "second", "page", ui_));
    EXPECT_EQ(test::readText(WebInfFilePath(package_)), "second");
    EXPECT_EQ(test::readText(WebHtmlFilePath(package_)), "page");
    EXPECT_TRUE(ui_.shown().empty());
}

TEST_F(WebPackageFiles, AFileThatCannotBeCreatedIsReportedByNameAndTheOtherIsStillWritten) {
    package_.m_pWeb->m_bHtmTemplate = 1;
    std::filesystem::create_directories(folder_.file("out/Fixture/Fixture.inf"));
    EXPECT_FALSE(WriteWebPackage(package_, "inf", "html", ui_));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, "Unable to create file:\n" + WebInfFilePath(package_));
    EXPECT_NE(ui_.shown()[0].details.find("Error "), std::string::npos);
    EXPECT_EQ(test::readText(WebHtmlFilePath(package_)), "html");
}

TEST_F(WebPackageFiles, ATargetFolderThatCannotBeMadeStopsWithItsMessage) {
    ASSERT_TRUE(WriteWebPackage(package_, "x", "", ui_));  // makes out/
    package_.m_strTargetFolder = folder_.file("out/Fixture/Fixture.inf/deeper");
    EXPECT_FALSE(WriteWebPackage(package_, "inf", "", ui_));
    ASSERT_FALSE(ui_.shown().empty());
    EXPECT_NE(ui_.shown()[0].text.find("Error Creating Directory"), std::string::npos);
}

}  // namespace
}  // namespace pcn
