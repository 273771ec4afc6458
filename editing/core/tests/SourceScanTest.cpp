#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "editing/core/SourceScan.h"
#include "model/CCabObj.h"

namespace pcn {
namespace fs = std::filesystem;

class SourceScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("pcn-scan-" + std::to_string(::getpid()));
        fs::remove_all(root);
        write("b.txt", 3);
        write("a.exe", 10);
        write(".hidden", 1);
        write("sub/c.dll", 100);
        write("sub/deeper/d.ocx", 1000);
        write(".git/config", 5);
    }
    void TearDown() override { fs::remove_all(root); }
    void write(const std::string& rel, size_t size) {
        fs::create_directories((root / rel).parent_path());
        std::ofstream(root / rel) << std::string(size, 'x');
    }
    std::string path(const std::string& rel) { return (root / rel).string(); }
    fs::path root;
};

TEST_F(SourceScanTest, TopFolderOnlyInNameOrder) {
    CCabObj p;
    p.AddFile("/stale/entry");
    ScanResult r = RescanSourceFolder(p, root.string() + "/", false);
    ASSERT_EQ(p.GetFileCount(), 3);
    EXPECT_EQ(p.GetFilePath(0), path(".hidden"));
    EXPECT_EQ(p.GetFilePath(1), path("a.exe"));
    EXPECT_EQ(p.GetFilePath(2), path("b.txt"));
    EXPECT_EQ(p.GetFileDest(1), "%DESTDIR%");
    EXPECT_EQ(p.GetFileRegister(1), "0");
    EXPECT_EQ(p.m_nSourceSize, 14);
    EXPECT_EQ(r.filesAdded, 3);
}

TEST_F(SourceScanTest, SubFoldersExceptDotFolders) {
    CCabObj p;
    RescanSourceFolder(p, root.string(), true);
    ASSERT_EQ(p.GetFileCount(), 5);
    EXPECT_EQ(p.GetFilePath(3), path("sub/c.dll"));
    EXPECT_EQ(p.GetFilePath(4), path("sub/deeper/d.ocx"));
    EXPECT_EQ(p.m_nSourceSize, 1114);
}

// A scan on another thread is followed folder by folder and stops where it
// is told to, saying so.
TEST_F(SourceScanTest, AWatchedScanReportsEachFolderAndStopsWhenAsked) {
    CCabObj p;
    ScanWatch watch;
    std::vector<std::pair<std::string, int>> seen;
    watch.onFolder = [&](const std::string& folder, int filesSoFar) {
        seen.emplace_back(folder, filesSoFar);
        if (folder.ends_with("deeper")) watch.stop = true;
    };
    ScanResult r = RescanSourceFolder(p, root.string(), true, &watch);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{
                        {root.string(), 0}, {path("sub"), 3}, {path("sub/deeper"), 4}}));
    ASSERT_EQ(p.GetFileCount(), 4);
    EXPECT_EQ(p.GetFilePath(3), path("sub/c.dll"));
    EXPECT_FALSE(RescanSourceFolder(p, root.string(), true).stopped);
}

TEST_F(SourceScanTest, MissingFolderGivesEmptyTable) {
    CCabObj p;
    p.AddFile("/x");
    p.m_nSourceSize = 7;
    ScanResult r = RescanSourceFolder(p, path("nowhere"), true);
    EXPECT_EQ(p.GetFileCount(), 0);
    EXPECT_EQ(p.m_nSourceSize, 0);
    EXPECT_EQ(r.unreadable, 1);
}

TEST_F(SourceScanTest, LinkLoopsAreScannedOnceAndReported) {
    fs::create_directory_symlink(".", root / "sub" / "self");     // x -> .
    fs::create_directory_symlink("..", root / "sub" / "deeper" / "up");  // back to sub
    fs::create_directory_symlink(root / "sub", root / "alias");  // a second way into sub
    CCabObj p;
    ScanResult r = RescanSourceFolder(p, root.string(), true);
    EXPECT_EQ(p.GetFileCount(), 5);
    EXPECT_EQ(p.m_nSourceSize, 1114);
    std::sort(r.loops.begin(), r.loops.end());
    // Name order reaches sub through "alias" first; the folder itself is then the repeat.
    EXPECT_EQ(p.GetFilePath(2), path("alias/c.dll"));
    EXPECT_EQ(r.loops, (std::vector<std::string>{path("alias/deeper/up"), path("alias/self"), path("sub")}));
}

}  // namespace pcn
