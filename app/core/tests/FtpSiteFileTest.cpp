// The FTP site file is shared by every project and holds the only copy of the
// user's sites: no save may shrink it behind the user's back.

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "app/core/CPCNDoc.h"
#include "distribution/ScriptedUserInterface.h"
#include "model/tests/TestFolder.h"
#include "platform/AtomicFile.h"

namespace pcn {
namespace {

using test::readFile;

std::string siteFile(std::initializer_list<const char*> names) {
    std::vector<std::unique_ptr<CFTPObj>> sites;
    for (const char* name : names) {
        sites.push_back(std::make_unique<CFTPObj>());
        sites.back()->m_strDescription = name;
        sites.back()->m_strPassword = std::string("pw-") + name;
    }
    return CPCNDoc::StoreFtpSiteFile(sites);
}

std::vector<std::string> siteNames(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& site : CPCNDoc::ParseFtpSiteFile(readFile(path))) names.push_back(site->m_strDescription);
    return names;
}

class FtpSiteFileTest : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(doc.m_szFtpFile, std::ios::binary) << siteFile({"One", "Two"}); }
    test::TestFolder folder;
    ScriptedUserInterface ui;
    CPCNDoc doc{&ui};
};

TEST_F(FtpSiteFileTest, NewProjectOrAFirstSaveKeepsEverySite) {
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.m_listFtpSites.size(), 2u);
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("new.pcn")));
    EXPECT_EQ(siteNames(doc.m_szFtpFile), (std::vector<std::string>{"One", "Two"}));

    // A document that saves before anything read the file (a fresh program).
    CPCNDoc fresh{&ui};
    ASSERT_TRUE(fresh.OnSaveDocument(folder.file("fresh.pcn")));
    EXPECT_EQ(siteNames(fresh.m_szFtpFile), (std::vector<std::string>{"One", "Two"}));
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(FtpSiteFileTest, OnlySitesTheUserRemovedMayGoMissing) {
    ASSERT_TRUE(doc.OnNewDocument());
    auto lost = std::move(doc.m_listFtpSites.back());
    doc.m_listFtpSites.pop_back();  // dropped without the user asking
    EXPECT_FALSE(doc.SaveFtpSites());
    EXPECT_EQ(siteNames(doc.m_szFtpFile), (std::vector<std::string>{"One", "Two"}));
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("p.pcn")));  // the project still saves ...
    ASSERT_EQ(ui.shown().size(), 1u);                       // ... and says the sites did not
    EXPECT_EQ(ui.shown()[0].text, "Not all package files could be saved.");
    EXPECT_NE(ui.shown()[0].details.find("PCNFtp.pftp"), std::string::npos);

    doc.m_listFtpSites.push_back(std::move(lost));
    EXPECT_TRUE(doc.RemoveFtpSite(doc.m_listFtpSites.front().get()));
    auto added = std::make_unique<CFTPObj>();
    added->m_strDescription = "Three";
    doc.AddFtpSite(std::move(added));
    ASSERT_TRUE(doc.SaveFtpSites());
    EXPECT_EQ(siteNames(doc.m_szFtpFile), (std::vector<std::string>{"Two", "Three"}));
}

TEST_F(FtpSiteFileTest, ADamagedFileIsKeptAsideAndTheUserTold) {
    const std::string damaged = siteFile({"One", "Two", "Three"}).substr(0, 46);
    std::ofstream(doc.m_szFtpFile, std::ios::binary | std::ios::trunc) << damaged;
    std::ofstream(doc.m_szFtpFile + ".damaged") << "an older one";
    std::ofstream(folder.file("empty.pcn"), std::ios::binary) << CPCNDoc::StoreProjectFile({});
    ASSERT_TRUE(doc.OnOpenDocument(folder.file("empty.pcn")));
    EXPECT_EQ(doc.m_listFtpSites.size(), 1u);
    ASSERT_TRUE(ui.sawText("Unexpected file format."));
    const std::string aside = doc.m_szFtpFile + ".damaged-2";
    EXPECT_NE(ui.shown().back().details.find(aside), std::string::npos);
    EXPECT_EQ(readFile(aside), damaged);
    EXPECT_EQ(readFile(doc.m_szFtpFile + ".damaged"), "an older one");

    ASSERT_TRUE(doc.OnSaveDocument(folder.file("empty.pcn")));
    EXPECT_EQ(siteNames(doc.m_szFtpFile), (std::vector<std::string>{"One"}));
    EXPECT_EQ(readFile(aside), damaged);
}

TEST_F(FtpSiteFileTest, AnUnreadableFileIsNeverReplaced) {
    std::filesystem::remove(doc.m_szFtpFile);
    ASSERT_EQ(::mkfifo(doc.m_szFtpFile.c_str(), 0600), 0);  // not a file we can read
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(doc.SaveFtpSites());
    EXPECT_TRUE(std::filesystem::is_fifo(doc.m_szFtpFile));
}

}  // namespace
}  // namespace pcn
