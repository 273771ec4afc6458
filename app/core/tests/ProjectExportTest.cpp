#include "app/core/ProjectExport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "app/core/CPCNDoc.h"
#include "distribution/ScriptedUserInterface.h"
#include "model/tests/TestFolder.h"
#include "platform/AtomicFile.h"

namespace pcn {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;

// Cancels once the given number of files have been started.
class CancellingProgress : public ExportProgress {
public:
    explicit CancellingProgress(size_t cancelAt) : cancelAt_(cancelAt) {}
    void copying(size_t index, size_t count, const std::string& source) override {
        started.push_back(source);
        current_ = index;
        total = count;
    }
    bool cancelled() override { return current_ >= cancelAt_; }
    void finished() override { ++finishedCalls; }
    std::vector<std::string> started;
    size_t total = 0;
    int finishedCalls = 0;

private:
    size_t cancelAt_;
    size_t current_ = 0;
};

class ProjectExportTest : public ::testing::Test {
protected:
    ProjectExportTest() {
        for (const char* name : {"src/a.pcp", "src/b.pcp", "other/c.pcp"}) {
            writeFile(folder.file(name), std::string("package ") + name);
            sources.push_back(folder.file(name));
        }
    }
    std::string dest(const std::string& name = {}) const { return folder.file("dest/" + name); }

    test::TestFolder folder;
    ScriptedUserInterface ui;
    std::vector<std::string> sources;
};

}  // namespace

TEST_F(ProjectExportTest, CopiesEveryFileIntoAFolderItCreatesAfterAsking) {
    const ExportResult result = ExportFiles(sources, dest(), ui);
    EXPECT_EQ(result.copied, 3);
    EXPECT_FALSE(result.cancelled);
    ASSERT_EQ(ui.shown().size(), 1u);  // create the folder?
    EXPECT_NE(ui.shown()[0].text.find("does not exist"), std::string::npos);
    for (const char* name : {"a.pcp", "b.pcp", "c.pcp"}) EXPECT_EQ(readFile(dest(name)).substr(0, 8), "package ");
    EXPECT_EQ(readFile(dest("c.pcp")), "package other/c.pcp");
    // Nothing but the copies: no temporary files left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dest()), fs::directory_iterator()), 3);
}

TEST_F(ProjectExportTest, FolderNotCreatedMeansNothingCopied) {
    ui.queueAnswer(Answer::No);
    const ExportResult result = ExportFiles(sources, dest(), ui);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.copied, 0);
    EXPECT_FALSE(fs::exists(dest()));
}

TEST_F(ProjectExportTest, ReplaceAnsweredNoKeepsTheOldFileAndCancelStops) {
    writeFile(dest("a.pcp"), "old a");
    writeFile(dest("b.pcp"), "old b");
    ui.queueAnswer(Answer::No);      // a.pcp: keep
    ui.queueAnswer(Answer::Yes);     // b.pcp: replace
    ExportResult result = ExportFiles(sources, dest(), ui);
    EXPECT_EQ(result.copied, 2);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(readFile(dest("a.pcp")), "old a");
    EXPECT_EQ(readFile(dest("b.pcp")), "package src/b.pcp");
    EXPECT_EQ(ui.shown().size(), 2u);

    fs::remove(dest("c.pcp"));
    writeFile(dest("a.pcp"), "old a");
    ui.clear();
    ui.queueAnswer(Answer::Cancel);  // a.pcp: stop the export
    result = ExportFiles(sources, dest(), ui);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.copied, 0);
    EXPECT_EQ(readFile(dest("a.pcp")), "old a");
    EXPECT_FALSE(fs::exists(dest("c.pcp")));
}

TEST_F(ProjectExportTest, CancelInTheProgressWindowStopsBeforeTheNextFile) {
    CancellingProgress progress(1);
    const ExportResult result = ExportFiles(sources, dest(), ui, &progress);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.copied, 1);
    EXPECT_TRUE(fs::exists(dest("a.pcp")));
    EXPECT_FALSE(fs::exists(dest("b.pcp")));
    EXPECT_FALSE(fs::exists(dest("c.pcp")));
    EXPECT_EQ(progress.total, 3u);
    EXPECT_EQ(progress.finishedCalls, 1);
}

TEST_F(ProjectExportTest, AMissingSourceIsReportedByNameAndTheRestIsCopied) {
    sources.insert(sources.begin() + 1, folder.file("src/gone.pcp"));
    const ExportResult result = ExportFiles(sources, dest(), ui);
    EXPECT_EQ(result.copied, 3);
    ASSERT_EQ(result.failed, std::vector<std::string>{folder.file("src/gone.pcp")});
    ASSERT_TRUE(ui.shown().back().isErrorDetails);
    EXPECT_EQ(ui.shown().back().text, "Cannot copy the file gone.pcp.");
    EXPECT_NE(ui.shown().back().details.find(folder.file("src/gone.pcp")), std::string::npos);
}

TEST_F(ProjectExportTest, CopiesKeepTheirPermissionsAndAFileIsNotCopiedOntoItself) {
    ::chmod(sources[0].c_str(), 0600);
    fs::create_directories(dest());
    ExportFiles({sources[0]}, dest(), ui);
    struct stat st {};
    ASSERT_EQ(::stat(dest("a.pcp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    ui.clear();
    const ExportResult self = ExportFiles({sources[0]}, folder.file("src"), ui);
    EXPECT_EQ(self.skipped, 1);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(readFile(sources[0]), "package src/a.pcp");

    const ExportResult nowhere = ExportFiles({sources[0]}, "", ui);
    EXPECT_TRUE(nowhere.cancelled);
    EXPECT_EQ(nowhere.copied, 0);
}

TEST_F(ProjectExportTest, ProjectSourcesAreTheProjectFileAndItsPackageFilesInOrder) {
    CPCNDoc doc(&ui);
    EXPECT_TRUE(ProjectExportSources(doc).empty());  // a new project has no file yet
    for (const char* product : {"Beta", "Alpha"}) {
        auto package = std::make_unique<CCabObj>();
        package->m_strProduct = product;
        doc.AddPackage(std::move(package));
    }
    ASSERT_TRUE(doc.OnSaveDocument(folder.file("project.pcn")));
    EXPECT_EQ(ProjectExportSources(doc), (std::vector<std::string>{folder.file("project.pcn"), folder.file("Beta.pcp"),
                                                                   folder.file("Alpha.pcp")}));
    EXPECT_EQ(PackageExportSources({doc.m_listPackages[1].get()}), std::vector<std::string>{folder.file("Alpha.pcp")});
}

}  // namespace pcn
