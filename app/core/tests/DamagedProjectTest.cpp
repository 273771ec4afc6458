// Damaged project and FTP site files: every truncation and many mutations
// either open or are refused with the document's message; nothing crashes
// (run under ASan) and a refused open leaves the current project alone.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "app/core/CPCNDoc.h"
#include "distribution/ScriptedUserInterface.h"
#include "model/Archive.h"
#include "model/PackageFile.h"
#include "model/tests/Mutations.h"
#include "model/tests/RecordFiller.h"
#include "model/tests/TestFolder.h"

namespace pcn {
namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class DamagedProject : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"A", "B"}) {
            CCabObj p;
            test::fillEveryMember(p, name);
            p.m_strPackageFile = folder.file(std::string(name) + ".pcp");
            ASSERT_TRUE(SavePackage(p));
            paths.push_back(p.m_strPackageFile);
        }
        project = CPCNDoc::StoreProjectFile(paths);
        std::vector<std::unique_ptr<CFTPObj>> list;
        for (const char* name : {"Home", "Work"}) {
            list.push_back(std::make_unique<CFTPObj>());
            list.back()->m_strDescription = name;
            list.back()->m_strServer = std::string("ftp.") + name + ".example";
            list.back()->m_strPassword = "pw";
        }
        sites = CPCNDoc::StoreFtpSiteFile(list);
    }

    // Opens the bytes as a project; a refusal must say so and keep the current project.
    void openProject(const std::string& bytes) {
        writeFile(folder.file("p.pcn"), bytes);
        ScriptedUserInterface ui;
        CPCNDoc doc(&ui);
        doc.SetMissingFileReconciler([](std::vector<std::string>& missing) {
            missing.clear();
            return Answer::Ok;
        });
        doc.AddPackage(std::make_unique<CCabObj>());
        if (!doc.OnOpenDocument(folder.file("p.pcn"))) {
            EXPECT_TRUE(ui.sawText("Unexpected file format.") || ui.sawText("Failed to open document."));
            EXPECT_EQ(doc.m_listPackages.size(), 1u);
        }
    }

    test::TestFolder folder;
    std::vector<std::string> paths;
    std::string project;
    std::string sites;
};

TEST_F(DamagedProject, EveryTruncationIsRefused) {
    test::forEachTruncation(project, [&](const std::string& cut) {
        EXPECT_THROW(CPCNDoc::ParseProjectFile(cut), ArchiveException);
        openProject(cut);
    });
}

TEST_F(DamagedProject, MutationsOpenOrAreRefused) {
    test::forEachMutation(project, 3000, [&](const std::string& bad) {
        try {
            CPCNDoc::ParseProjectFile(bad);
        } catch (const ArchiveException&) {
        }
    });
    test::forEachMutation(project, 300, [&](const std::string& bad) { openProject(bad); });
}

TEST_F(DamagedProject, DamagedSiteFilesNeverBlockAProject) {
    const std::string siteFile = folder.file("PCNFtp.pftp");
    writeFile(folder.file("p.pcn"), project);
    auto check = [&](const std::string& bad) {
        try {
            CPCNDoc::ParseFtpSiteFile(bad);
        } catch (const ArchiveException&) {
        }
        writeFile(siteFile, bad);
        ScriptedUserInterface ui;
        CPCNDoc doc(&ui);
        ASSERT_TRUE(doc.OnOpenDocument(folder.file("p.pcn")));
        EXPECT_EQ(doc.m_listPackages.size(), 2u);
        EXPECT_LE(doc.m_listFtpSites.size(), 2u + bad.size());
    };
    test::forEachTruncation(sites, check);
    test::forEachMutation(sites, 500, check);
}

TEST_F(DamagedProject, PackagesThatAreNoFilesAreNotLoaded) {
    ASSERT_EQ(::mkfifo(folder.file("pipe.pcp").c_str(), 0600), 0);
    writeFile(folder.file("odd.pcn"),
              CPCNDoc::StoreProjectFile({paths[0], "/dev/zero", folder.file("pipe.pcp"), folder.path()}));
    ScriptedUserInterface ui;
    CPCNDoc doc(&ui);
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("odd.pcn")));
    ASSERT_EQ(doc.m_listPackages.size(), 4u);  // each keeps its place, shown as not loaded
    EXPECT_FALSE(doc.m_listPackages[0]->m_bNotLoaded);
    for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(doc.m_listPackages[i]->m_bNotLoaded) << i;
    EXPECT_EQ(doc.m_listPackages[2]->m_strPackageFile, folder.file("pipe.pcp"));
    EXPECT_TRUE(ui.sawText("Not all package files could be loaded."));
}

}  // namespace
}  // namespace pcn
