#include <gtest/gtest.h>

#include "app/core/PackagePathChange.h"

namespace pcn {

TEST(PackagePathChange, MoveToFolderKeepsOnlyTheFileName) {
    EXPECT_EQ(MoveToFolder("/old/sub/a.pcp", "/new/"), "/new/a.pcp");
    EXPECT_EQ(MoveToFolder("C:\\Old\\b.pcp", "/new/"), "/new/b.pcp");
    EXPECT_EQ(MoveToFolder("c.pcp", "/new/"), "/new/c.pcp");
}

TEST(PackagePathChange, OnlyPathsBeginningWithTheFolderAreRewritten) {
    EXPECT_EQ(ReplaceLeadingFolder("/old/Sub/a.pcp", "/old/", "/new/"), "/new/Sub/a.pcp");
    // The old folder in the middle of a path is no match: the path stays whole.
    EXPECT_EQ(ReplaceLeadingFolder("/else/old/b.pcp", "/old/", "/new/"), std::nullopt);
    EXPECT_EQ(ReplaceLeadingFolder("/mnt/x/old/b.pcp", "/old/", "/new/"), std::nullopt);
    EXPECT_EQ(ReplaceLeadingFolder("/other/b.pcp", "/old/", "/new/"), std::nullopt);
    // A folder given without its separator still ends at a separator.
    EXPECT_EQ(ReplaceLeadingFolder("/home/ann/a.pcp", "/home/ann", "/srv/ann"), "/srv/ann/a.pcp");
    EXPECT_EQ(ReplaceLeadingFolder("/home/anna/a.pcp", "/home/ann", "/srv/ann"), std::nullopt);
    EXPECT_EQ(ReplaceLeadingFolder("/a.pcp", "", "/new/"), std::nullopt);
    EXPECT_EQ(ReplaceLeadingFolder("C:\\Old\\Sub\\a.pcp", "C:\\Old\\", "/new/"), "/new/Sub\\a.pcp");
}

TEST(PackagePathChange, AllPathsWithTheLeadingFolder) {
    std::vector<std::string> paths = {"/old/Sub/a.pcp", "/else/b.pcp", "/x/old/c.pcp", "/old/d.pcp"};
    EXPECT_EQ(ReplaceLeadingFolderInAll(paths, "/old/", "/new/"), 2);
    EXPECT_EQ(paths, (std::vector<std::string>{"/new/Sub/a.pcp", "/else/b.pcp", "/x/old/c.pcp", "/new/d.pcp"}));
}

TEST(PackagePathChange, DistinctFoldersInOrderOfFirstAppearance) {
    EXPECT_EQ(DistinctFolders({"/b/1.pcp", "/a/2.pcp", "/b/3.pcp", "4.pcp"}),
              (std::vector<std::string>{"/b/", "/a/", ""}));
}

}  // namespace pcn
