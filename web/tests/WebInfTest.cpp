// The web INF text against files written by hand, and the package files
// written into the target folder.

#include <filesystem>

#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "web/HtmlTemplate.h"
#include "web/NewWebPackage.h"
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

// The INF, the page and the files written agree: the page's code base names
// the INF file written (its blank encoded), its classid is the class the
// INF's clsid names (the first coclass, not the interface before it), and a
// site ending in "/" gives no "//".
TEST_F(WebPackageFiles, TheInfThePageAndTheFilesWrittenAgree) {
    package_.m_strProduct = package_.m_strProjectName = "Ctl Sample";
    package_.m_pWeb->m_bHtmTemplate = 1;
    const std::string site = "https://files.example/controls/";
    const std::string inf = BuildWebInf(package_, site), html = BuildWebHtml(package_, site);
    ASSERT_TRUE(WriteWebPackage(package_, inf, html, ui_));
    EXPECT_TRUE(std::filesystem::exists(folder_.file("out/Fixture/Ctl Sample.inf")));
    EXPECT_NE(html.find("codebase=\"https://files.example/controls/Ctl%20Sample.inf\""), std::string::npos) << html;
    EXPECT_NE(inf.find("clsid={6B2B1A12-3C4D-4E5F-8A9B-0C1D2E3F4A53}\r\n"), std::string::npos) << inf;
    EXPECT_NE(html.find("classid=\"CLSID:6B2B1A12-3C4D-4E5F-8A9B-0C1D2E3F4A53\""), std::string::npos) << html;
    EXPECT_NE(inf.find("file-win32-x86=https://files.example/controls/x86/control32.ocx\r\n"), std::string::npos);
    EXPECT_EQ(inf.find("//x86"), std::string::npos);
}

// Hostile names yield no markup in the page, and names that would end a
// line or a section of the INF are refused before anything is written.
TEST_F(WebPackageFiles, HostileNamesAreEscapedOrRefused) {
    const std::string hostile = folder_.file("a\"><img src=x onerror=alert(1)>.ocx");
    std::filesystem::copy_file(fixture("control32.ocx"), hostile);
    CCabObj page;
    fill(page, {{hostile, 1, 1, 1}});
    page.m_strProjectName = "P<b>";
    const std::string html = BuildWebHtml(page, "https://x.example/a\"b");
    EXPECT_EQ(html.find("<img"), std::string::npos) << html;
    EXPECT_EQ(html.find("<b>"), std::string::npos) << html;
    EXPECT_EQ(html.find("a\"b"), std::string::npos) << html;
    ComponentTemplateFacts facts = ReadComponentTemplateFacts(hostile);
    facts.title = "</TITLE><script>x</script>";
    const std::string component = BuildComponentTemplate(facts, true, "https://x.example/");
    EXPECT_EQ(component.find("<script>"), std::string::npos) << component;
    EXPECT_EQ(component.find("<img"), std::string::npos) << component;
    EXPECT_NE(component.find("&lt;/TITLE&gt;&lt;script&gt;"), std::string::npos) << component;

    package_.m_pWeb->m_bHtmTemplate = 1;
    for (const auto& [product, entry] : {std::pair<std::string, std::string>{"Fixture\r\n[Add.Code]", fixture("control32.ocx")},
                                         {"Fixture", folder_.file("x]\n[Add.Code.ocx")},
                                         {"Fixture", folder_.file("k=v.ocx")}}) {
        CCabObj bad;
        bad.m_strProduct = product;
        bad.m_strProjectName = "Fixture";
        bad.m_strTargetFolder = folder_.file("bad");
        bad.m_pWeb->m_bHtmTemplate = 1;
        fill(bad, {{entry, 1, 1, 1}});
        ScriptedUserInterface ui;
        EXPECT_FALSE(WriteWebPackageFiles(bad, ui)) << product << entry;
        ASSERT_EQ(ui.shown().size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(folder_.file("bad")));
        EXPECT_FALSE(WebPackageNameProblem(bad).empty());
    }
    NewWebPackageOptions options;
    options.product = "Two\nLines";
    options.component = fixture("control32.ocx");
    EXPECT_FALSE(MakeNewWebPackage(options).package);
}

}  // namespace
}  // namespace pcn
