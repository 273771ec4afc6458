#include "app/core/CPCNDoc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "distribution/ScriptedUserInterface.h"
#include "model/Archive.h"
#include "model/PackageFile.h"
#include "model/tests/RecordFiller.h"
#include "model/tests/TestFolder.h"
#include "platform/AtomicFile.h"

namespace pcn {
namespace {

using test::readFile;
using test::writeFile;

class RecordingProgress : public ProgressSink {
public:
    void setProgress(int value) override { values.push_back(value); }
    std::vector<int> values;
};

std::unique_ptr<CCabObj> package(const std::string& product, const std::string& file) {
    auto p = std::make_unique<CCabObj>();
    test::fillEveryMember(*p, product);
    p->m_strProduct = product;
    p->m_strPackageFile = file;
    return p;
}

class ProjectTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    ScriptedUserInterface ui;
    CPCNDoc doc{&ui};
};

TEST_F(ProjectTest, EmptyProjectIsTwelveBytesAndTheSiteFileIsPrivate) {
    EXPECT_EQ(doc.m_szFtpFile, folder.file("PCNFtp.pftp"));
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("empty.pcn")));
    EXPECT_EQ(readFile(folder.file("empty.pcn")), std::string("\xCD\xCC\xCC\xCC\xCC\xCC\x00\x40\0\0\0\0", 12));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "empty");
    EXPECT_EQ(doc.GetPathName(), folder.file("empty.pcn"));
    EXPECT_EQ(readFile(doc.m_szFtpFile), std::string(4, '\0'));
    struct stat st {};
    ASSERT_EQ(::stat(doc.m_szFtpFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ProjectTest, AVersionWithAnyBitWrongIsRefusedAndTheProjectKept) {
    doc.AddPackage(package("Kept", folder.file("Kept.pcp")));
    std::string good = CPCNDoc::StoreProjectFile({});
    for (int bit = 0; bit < 64; ++bit) {
        std::string bad = good;
        bad[bit / 8] = static_cast<char>(bad[bit / 8] ^ (1 << (bit % 8)));
        writeFile(folder.file("bad.pcn"), bad);
        ui.clear();
        EXPECT_FALSE(doc.OnOpenDocument(folder.file("bad.pcn"))) << bit;
        ASSERT_EQ(ui.shown().size(), 1u);
        EXPECT_EQ(ui.shown()[0].text, "Failed to open document.");
        EXPECT_NE(ui.shown()[0].details.find(folder.file("bad.pcn")), std::string::npos);
    }
    ASSERT_EQ(doc.m_listPackages.size(), 1u);
    EXPECT_EQ(doc.m_listPackages[0]->m_strProduct, "Kept");
}

TEST_F(ProjectTest, DamagedOrMissingProjectFilesAreReported) {
    std::string good = CPCNDoc::StoreProjectFile({"/a.pcp", "/b.pcp"});
    writeFile(folder.file("short.pcn"), good.substr(0, good.size() - 1));
    EXPECT_FALSE(doc.OnOpenDocument(folder.file("short.pcn")));
    EXPECT_TRUE(ui.sawText("Unexpected file format."));
    ui.clear();
    EXPECT_FALSE(doc.OnOpenDocument(folder.file("none.pcn")));
    EXPECT_TRUE(ui.sawText("Failed to open document."));
}

TEST_F(ProjectTest, PackagePathsAreRefusedWithoutAMessage) {
    writeFile(folder.file("x.pcp.pcn"), CPCNDoc::StoreProjectFile({}));
    EXPECT_FALSE(doc.OnOpenDocument(folder.file("x.pcp.pcn")));
    EXPECT_FALSE(doc.OnOpenDocument(folder.file("Tools.PCP")));
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ProjectTest, TitleIsCutAtTheFirstDot) {
    writeFile(folder.file("demo.old.pcn"), CPCNDoc::StoreProjectFile({}));
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("demo.old.pcn")));
    EXPECT_EQ(doc.GetTitle(), "demo");
    doc.SetTitle("a.b.c");
    EXPECT_EQ(doc.GetTitle(), "a");
}

TEST_F(ProjectTest, AddAndRemoveKeepPathsInStep) {
    auto unnamed = std::make_unique<CCabObj>();
    unnamed->m_strProduct = "Tools";
    CCabObj* first = doc.AddPackage(std::move(unnamed));
    EXPECT_EQ(first->m_strPackageFile, folder.file("Tools.pcp"));
    EXPECT_TRUE(doc.IsModified());
    CCabObj* second = doc.AddPackage(package("B", "/b.pcp"));
    doc.AddPackage(package("C", "/c.pcp"));
    EXPECT_EQ(doc.m_arrPackageFiles, (std::vector<std::string>{folder.file("Tools.pcp"), "/b.pcp", "/c.pcp"}));
    doc.SetModifiedFlag(false);
    EXPECT_TRUE(doc.RemovePackage(second));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_arrPackageFiles, (std::vector<std::string>{folder.file("Tools.pcp"), "/c.pcp"}));
    EXPECT_EQ(doc.m_listPackages.size(), 2u);
    CCabObj stranger;
    EXPECT_FALSE(doc.RemovePackage(&stranger));

    int cleared = 0;
    doc.SetContentsClearedHandler([&] { ++cleared; });
    doc.DeleteContents();
    EXPECT_EQ(cleared, 1);
    EXPECT_TRUE(doc.m_listPackages.empty() && doc.m_arrPackageFiles.empty());
}

TEST_F(ProjectTest, SaveWritesSitesPackagesThenPathsWithBoundedProgress) {
    RecordingProgress progress;
    doc.SetProgressSink(&progress);
    for (int i = 0; i < 60; ++i)
        doc.AddPackage(package("P" + std::to_string(i), folder.file("P" + std::to_string(i) + ".pcp")));
    auto site = std::make_unique<CFTPObj>();
    site->m_strDescription = "Home";
    site->m_strPassword = "secret";
    doc.m_listFtpSites.push_back(std::move(site));
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("big.pcn")));

    ASSERT_GE(progress.values.size(), 3u);
    EXPECT_EQ(progress.values.front(), 0);
    EXPECT_EQ(progress.values.back(), 101);
    EXPECT_EQ(progress.values[progress.values.size() - 2], 100);
    EXPECT_EQ(progress.values.size(), 1 + 60 + 60 + 2 + 1u);
    for (size_t i = 1; i + 1 < progress.values.size(); ++i) {
        EXPECT_LE(progress.values[i], 100);
        EXPECT_GE(progress.values[i], progress.values[i - 1]);
    }

    std::vector<std::string> paths = CPCNDoc::ParseProjectFile(readFile(folder.file("big.pcn")));
    ASSERT_EQ(paths.size(), 60u);
    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(paths[i], doc.m_listPackages[i]->m_strPackageFile);
        EXPECT_EQ(readFile(paths[i]), StorePackage(*doc.m_listPackages[i]));
    }
    auto sites = CPCNDoc::ParseFtpSiteFile(readFile(doc.m_szFtpFile));
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(sites[0]->m_strPassword, "secret");
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ProjectTest, UnwritablePackagesAreReportedAfterTheSave) {
    doc.AddPackage(package("Gone", folder.file("no/such/folder/Gone.pcp")));
    doc.AddPackage(package("Fine", folder.file("Fine.pcp")));
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("p.pcn")));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Not all package files could be saved.");
    EXPECT_NE(ui.shown()[0].details.find("Gone.pcp"), std::string::npos);
    // Its path stays in the project, as the user listed it.
    EXPECT_EQ(CPCNDoc::ParseProjectFile(readFile(folder.file("p.pcn"))).size(), 2u);
}

class ProjectLoadTest : public ProjectTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(SavePackage(*package("Here", folder.file("Here.pcp"))));
        std::string damaged = StorePackage(*package("Broken", folder.file("Broken.pcp")));
        writeFile(folder.file("Broken.pcp"), damaged.substr(0, damaged.size() / 2));
        std::filesystem::create_directory(folder.file("moved"));
        ASSERT_TRUE(SavePackage(*package("Moved", folder.file("moved/Moved.pcp"))));
        writeFile(folder.file("mixed.pcn"),
                  CPCNDoc::StoreProjectFile({folder.file("Here.pcp"), folder.file("Moved.pcp"),
                                             folder.file("Broken.pcp")}));
    }
    std::vector<std::string> shownMissing;
};

TEST_F(ProjectLoadTest, CancelDropsMissingPackagesAndMarksTheProject) {
    doc.SetMissingFileReconciler([&](std::vector<std::string>& missing) {
        shownMissing = missing;
        return Answer::Cancel;
    });
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("mixed.pcn")));
    EXPECT_EQ(shownMissing, std::vector<std::string>{folder.file("Moved.pcp")});
    EXPECT_EQ(doc.m_bMarkModified, 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.ApplyMarkModified());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_bMarkModified, 0);
    EXPECT_FALSE(doc.ApplyMarkModified());
    // The damaged package is not loaded but keeps its place; the rest of the project loads.
    ASSERT_EQ(doc.m_listPackages.size(), 2u);
    EXPECT_EQ(doc.m_listPackages[0]->m_strProduct, "Here");
    EXPECT_TRUE(doc.m_listPackages[1]->m_bNotLoaded);
    EXPECT_TRUE(ui.sawText("Not all package files could be loaded."));
    EXPECT_EQ(ui.shown().back().icon, Icon::Information);
    EXPECT_EQ(doc.m_arrPackageFiles, (std::vector<std::string>{folder.file("Here.pcp"), folder.file("Broken.pcp")}));
}

TEST_F(ProjectLoadTest, PackagesNotLoadedStayInPlaceThroughSavesUntilRemoved) {
    const std::string brokenBytes = readFile(folder.file("Broken.pcp"));
    writeFile(folder.file("order.pcn"), CPCNDoc::StoreProjectFile({folder.file("Broken.pcp"), folder.file("Moved.pcp"),
                                                                   folder.file("Here.pcp")}));
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("order.pcn")));  // no reconciler: missing ones are kept
    ASSERT_EQ(doc.m_listPackages.size(), 3u);
    EXPECT_EQ(doc.m_listPackages[1]->m_strProduct, "Moved.pcp");
    EXPECT_FALSE(CPCNDoc::CanShowProperties(doc.m_listPackages[0].get()));
    EXPECT_FALSE(CPCNDoc::CanRebuild(doc.m_listPackages[1].get()));

    doc.AddPackage(package("Added", folder.file("Added.pcp")));
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("order.pcn")));
    EXPECT_EQ(CPCNDoc::ParseProjectFile(readFile(folder.file("order.pcn"))),
              (std::vector<std::string>{folder.file("Broken.pcp"), folder.file("Moved.pcp"), folder.file("Here.pcp"),
                                        folder.file("Added.pcp")}));
    EXPECT_EQ(readFile(folder.file("Broken.pcp")), brokenBytes);  // never written over
    EXPECT_FALSE(std::filesystem::exists(folder.file("Moved.pcp")));

    ASSERT_TRUE(doc.RemovePackage(doc.m_listPackages[0].get()));
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("order.pcn")));
    EXPECT_EQ(CPCNDoc::ParseProjectFile(readFile(folder.file("order.pcn"))),
              (std::vector<std::string>{folder.file("Moved.pcp"), folder.file("Here.pcp"), folder.file("Added.pcp")}));
}

TEST_F(ProjectLoadTest, OkWithACorrectedPathLoadsIt) {
    doc.SetMissingFileReconciler([&](std::vector<std::string>& missing) {
        missing[0] = folder.file("moved/Moved.pcp");
        return Answer::Ok;
    });
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("mixed.pcn")));
    ASSERT_EQ(doc.m_listPackages.size(), 3u);
    EXPECT_EQ(doc.m_listPackages[0]->m_strProduct, "Here");
    // The corrected path in its place, the damaged one after it.
    EXPECT_EQ(doc.m_listPackages[1]->m_strProduct, "Moved");
    EXPECT_EQ(doc.m_listPackages[1]->m_strPackageFile, folder.file("moved/Moved.pcp"));
    EXPECT_TRUE(doc.m_listPackages[2]->m_bNotLoaded);
    EXPECT_TRUE(ui.sawText("Not all package files could be loaded."));
}

TEST_F(ProjectLoadTest, OkWithoutCorrectionKeepsThePathAndReports) {
    std::remove(folder.file("Broken.pcp").c_str());
    writeFile(folder.file("two.pcn"), CPCNDoc::StoreProjectFile({folder.file("Here.pcp"), folder.file("Moved.pcp")}));
    doc.SetMissingFileReconciler([](std::vector<std::string>&) { return Answer::Ok; });
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("two.pcn")));
    EXPECT_EQ(doc.m_arrPackageFiles, (std::vector<std::string>{folder.file("Here.pcp"), folder.file("Moved.pcp")}));
    ASSERT_EQ(doc.m_listPackages.size(), 2u);
    EXPECT_TRUE(doc.m_listPackages[1]->m_bNotLoaded);
    EXPECT_TRUE(ui.sawText("Not all package files could be loaded."));
    EXPECT_EQ(doc.m_bMarkModified, 1);
}

TEST_F(ProjectLoadTest, FtpSitesAreReadFirstAndADamagedFileKeepsItsHead) {
    std::vector<std::unique_ptr<CFTPObj>> sites;
    for (const char* name : {"One", "Two"}) {
        sites.push_back(std::make_unique<CFTPObj>());
        sites.back()->m_strDescription = name;
    }
    std::string bytes = CPCNDoc::StoreFtpSiteFile(sites);
    writeFile(doc.m_szFtpFile, bytes);
    writeFile(folder.file("here.pcn"), CPCNDoc::StoreProjectFile({folder.file("Here.pcp")}));
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("here.pcn")));
    ASSERT_EQ(doc.m_listFtpSites.size(), 2u);
    EXPECT_EQ(doc.FindFtpSite("Two"), doc.m_listFtpSites[1].get());
    EXPECT_EQ(doc.m_bMarkModified, 0);
    EXPECT_TRUE(ui.shown().empty());

    writeFile(doc.m_szFtpFile, bytes.substr(0, bytes.size() - 2));
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("here.pcn")));
    ASSERT_EQ(doc.m_listFtpSites.size(), 1u);
    EXPECT_EQ(doc.m_listFtpSites[0]->m_strDescription, "One");
    EXPECT_TRUE(ui.sawText("Unexpected file format."));
    EXPECT_EQ(doc.m_listPackages.size(), 1u);
}

TEST(CommandEnabling, FollowsTheSelectedPackage) {
    test::TestFolder folder;
    CCabObj cabinet;
    CCabObj web;
    web.m_nKind = kKindWebInf;
    EXPECT_FALSE(CPCNDoc::CanShowProperties(nullptr));
    EXPECT_TRUE(CPCNDoc::CanShowProperties(&web));
    EXPECT_TRUE(CPCNDoc::CanRebuild(&cabinet));
    EXPECT_FALSE(CPCNDoc::CanRebuild(&web));
    EXPECT_FALSE(CPCNDoc::CanRebuild(nullptr));
    EXPECT_FALSE(CPCNDoc::CanSendByFtp(&cabinet));  // a new record needs a build first
    cabinet.m_bRebuild = 0;
    EXPECT_TRUE(CPCNDoc::CanSendByFtp(&cabinet));
    EXPECT_FALSE(CPCNDoc::CanSendByFtp(nullptr));
    std::unique_ptr<CCabObj> notLoaded = CPCNDoc::NotLoadedPackage("/gone/Tools.pcp");
    notLoaded->m_bRebuild = 0;
    EXPECT_FALSE(CPCNDoc::CanShowProperties(notLoaded.get()));
    EXPECT_FALSE(CPCNDoc::CanSendByFtp(notLoaded.get()));
}

TEST(ProgressPercent, ScalesLargeNumbersAndGuardsAZeroWhole) {
    EXPECT_EQ(progressPercent(5, 0), 0u);
    EXPECT_EQ(progressPercent(1, 3), 33u);
    EXPECT_EQ(progressPercent(4000000000u, 4000000000u), 100u);
    EXPECT_EQ(progressPercent(2000000000u, 4000000000u), 50u);
    // Shifting can make the whole 0 while the part is still large.
    EXPECT_EQ(progressPercent(20000000u, 7u), 0u);
}

}  // namespace
}  // namespace pcn
