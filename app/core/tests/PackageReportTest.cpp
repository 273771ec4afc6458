#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/PackageReport.h"
#include "model/CCabObj.h"

namespace pcn {
namespace {

bool hasRow(const std::vector<ReportRow>& rows, const std::string& row) {
    return std::any_of(rows.begin(), rows.end(), [&](const ReportRow& r) { return r.text() == row; });
}

}  // namespace

TEST(PackageReport, CaptionsAndImagesPerKind) {
    CCabObj p;
    p.m_strProduct = "Tools";
    p.m_bRebuild = 0;
    struct Case {
        int32_t kind;
        const char* caption;
        int image;
    } cases[] = {{0, " (Cabinet)", 0}, {2, " (Self Extracting Cabinet)", 0}, {4, " (Self Extracting Wizard)", 19},
                 {6, " (Web Inf Package)", 21}};
    for (const Case& c : cases) {
        p.m_nKind = c.kind;
        EXPECT_EQ(PackageListText(p), std::string("Tools") + c.caption);
        EXPECT_EQ(PackageImage(p), c.image);
    }
    p.m_bRebuild = 1;
    EXPECT_EQ(PackageImage(p), 21);
    p.m_nKind = 4;
    EXPECT_EQ(PackageImage(p), 18);
    p.m_bNewPackage = 1;
    EXPECT_EQ(PackageCaption(p), " (New Project)");
    p.m_nKind = 6;
    EXPECT_EQ(PackageCaption(p), " (Web Inf Package)");
}

TEST(PackageReport, WizardRowsHaveNoGuidRowAndCabinetNoPrompt) {
    CCabObj wizard;
    wizard.m_bCab = 0;
    wizard.m_bCabWiz = 1;
    wizard.m_bMiniSetup = 1;
    wizard.m_nShowType = 3;
    wizard.m_arrShortcutDesc = {"Tool"};
    wizard.m_arrShortcutFile = {"bin\\tool.exe"};
    wizard.m_bMD5 = 0;
    wizard.AddFile("/src/a.exe");
    auto rows = PackageReportRows(wizard);
    EXPECT_FALSE(hasRow(rows, " \tScan For GUIDs:\tNo"));
    EXPECT_TRUE(hasRow(rows, " Prompt user with:"));
    EXPECT_TRUE(hasRow(rows, " \tDisplay Type:\tConsole"));
    EXPECT_TRUE(hasRow(rows, " \t1. Shortcut File:\tbin\\tool.exe"));
    EXPECT_TRUE(hasRow(rows, " \tCryptographic Digest Algorithm:\tSH 1"));
    EXPECT_EQ(rows[0].label, " Company Name:");
    EXPECT_EQ(rows[6].label, " Package Type:");
    EXPECT_EQ(rows[6].value, " \tSelf Extracting Wizard.");
    EXPECT_EQ(rows[7].text(), "");
    EXPECT_EQ(rows[8].text(), " \tUse Compression:\tYes");
    EXPECT_EQ(rows[9].text(), " Prompt user with:");
    EXPECT_EQ(rows.back().text(), " \t1:\t/src/a.exe");
    EXPECT_EQ(rows[rows.size() - 2].text(), "");

    CCabObj cabinet;
    cabinet.m_bSignature = 0;
    rows = PackageReportRows(cabinet);
    EXPECT_TRUE(hasRow(rows, " \tScan For GUIDs:\tNo"));
    EXPECT_FALSE(hasRow(rows, " Prompt user with:"));
    EXPECT_FALSE(hasRow(rows, " Code Signing:"));
    EXPECT_FALSE(hasRow(rows, " \tRestore Directory Structure:\tNo"));
}

TEST(PackageReport, PageCountKeepsTheFixedRows) {
    CCabObj p;
    EXPECT_EQ(ReportRowCount(p), 32);
    EXPECT_EQ(ReportPageCount(p, 50), 1);
    for (int i = 0; i < 60; ++i) p.AddFile("/f" + std::to_string(i));
    EXPECT_EQ(ReportPageCount(p, 46), 2);
    EXPECT_EQ(ReportPageCount(p, 31), 3);
    CCabObj web;
    web.m_nKind = kKindWebInf;
    web.AddDependency("MFC42.DLL");
    EXPECT_EQ(ReportRowCount(web), 33);
    auto rows = PackageReportRows(web);
    EXPECT_EQ(rows[3].text(), " \tWeb Inf Package.");
    EXPECT_TRUE(hasRow(rows, " \t1:\tMFC42.DLL"));
}

}  // namespace pcn
