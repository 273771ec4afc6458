// The HTML templates against pages written by hand, the facts read from a
// component, and the start of the licence package tool.

#include <chrono>
#include <filesystem>
#include <thread>

#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "web/HtmlTemplate.h"
#include "web/LpkTool.h"
#include "web/SiteAddress.h"
#include "web/WebInf.h"
#include "web/tests/WebTestSupport.h"

namespace pcn {
namespace {

using test::expected;
using test::fixture;

constexpr std::string_view kSite = "https://files.example/controls";

TEST(HtmlTemplate, BothVariantsWithAndWithoutLicenceBlockMatchTheHandWrittenPages) {
    ComponentTemplateFacts facts = ReadComponentTemplateFacts(fixture("control32.ocx"));
    EXPECT_EQ(BuildComponentTemplate(facts, false, kSite), expected("component-control.htm"));
    EXPECT_EQ(BuildComponentTemplate(facts, true, kSite), expected("component-control-lpk.htm"));
    EXPECT_EQ(BuildPackageTemplate(facts, "control32.inf", false, kSite), expected("package-control.htm"));
    EXPECT_EQ(BuildPackageTemplate(facts, "control32.inf", true, kSite), expected("package-control-lpk.htm"));
}

TEST(HtmlTemplate, WithoutTypeLibraryTheClassIdIsMissingAndTheFileNameIsTheTitle) {
    ComponentTemplateFacts facts = ReadComponentTemplateFacts(fixture("plain32.dll"));
    EXPECT_FALSE(facts.classId);
    EXPECT_EQ(facts.objectId, "");
    EXPECT_EQ(BuildComponentTemplate(facts, false, kPlaceholderSiteAddress), expected("component-plain.htm"));
}

TEST(HtmlTemplate, FactsFollowTheNameAndTypeLibraryRules) {
    // A stand-alone type library: its first coclass, not its first type.
    ComponentTemplateFacts library = ReadComponentTemplateFacts(fixture("control.tlb"));
    EXPECT_EQ(library.classId, "6B2B1A12-3C4D-4E5F-8A9B-0C1D2E3F4A53");
    EXPECT_EQ(library.objectId, "FixtureControl1");
    EXPECT_EQ(library.lpkFileName, "control.lpk");

    // A name without an extension, given with Windows separators.
    ComponentTemplateFacts bare = ReadComponentTemplateFacts("C:\\Controls\\Gauge");
    EXPECT_EQ(bare.fileName, "Gauge");
    EXPECT_EQ(bare.baseName, "Gauge");
    EXPECT_EQ(bare.lpkFileName, "Gauge.lpk");
    EXPECT_EQ(ReadComponentTemplateFacts("x/my.control.ocx").baseName, "my.control");
}

TEST(HtmlTemplate, PackagePageIsBuiltFromTheFirstEntryAndItsLpkChoice) {
    CCabObj package;
    package.AddDependency(fixture("control32.ocx"));
    package.AddDependency(fixture("plain32.dll"));
    package.m_pWeb->m_bLpk = 1;
    package.m_strProjectName = "control32";
    EXPECT_EQ(BuildWebHtml(package, kSite), expected("package-control-lpk.htm"));

    CCabObj empty;
    std::string page = BuildWebHtml(empty, kSite);
    EXPECT_NE(page.find("classid=\"CLSID:*** Unable to find CLSID: ***\""), std::string::npos);
    EXPECT_NE(page.find("codebase=\"https://files.example/controls/.inf\""), std::string::npos);
}

// The licence package tool is looked for in the program folder.
class LpkToolStart : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("PCN_PROGRAM_DIR", folder_.path().c_str(), 1); }
    void TearDown() override { ::setenv("PCN_PROGRAM_DIR", PCN_PROGRAM_DIR, 1); }
    test::TempFolder folder_;
    ScriptedUserInterface ui_;
};

TEST_F(LpkToolStart, MissingToolNamesThePathTried) {
    EXPECT_FALSE(StartLpkTool(ui_));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, "Unable to locate " + folder_.file("lpk_tool.exe"));
    EXPECT_EQ(ui_.shown()[0].icon, Icon::Error);
}

TEST_F(LpkToolStart, ANativeToolIsStartedWithoutArgumentsAndNotWaitedFor) {
    std::string marker = folder_.file("started");
    // The tool records its arguments, then outlives the call by a moment.
    ASSERT_TRUE(writeFileAtomically(folder_.file("lpk_tool"),
                                    "#!/bin/sh\necho \"$#\" > '" + marker + ".tmp'\nmv '" + marker + ".tmp' '" +
                                        marker + "'\nsleep 2\n")
                    .ok);
    std::filesystem::permissions(folder_.file("lpk_tool"), std::filesystem::perms::owner_all);
    auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(StartLpkTool(ui_));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(test::readText(marker), "0\n");
    EXPECT_TRUE(ui_.shown().empty());
}

TEST_F(LpkToolStart, AToolThatCannotBeExecutedIsReported) {
    ASSERT_TRUE(writeFileAtomically(folder_.file("lpk_tool"), "not a program").ok);
    // Without any execute bit not even root may run it.
    std::filesystem::permissions(folder_.file("lpk_tool"), std::filesystem::perms::owner_read);
    EXPECT_FALSE(StartLpkTool(ui_));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, "Unable to start " + folder_.file("lpk_tool"));
}

}  // namespace
}  // namespace pcn
