// Shortcut files named from a package's files, and the shortcut type codes.
#include <gtest/gtest.h>

#include "editing/core/Shortcuts.h"

namespace pcn {
namespace {

TEST(ShortcutFileFor, FileBelowTheSourceFolderKeepsItsPathBelowItWithBackslashes) {
    EXPECT_EQ(ShortcutFileFor("c:\\src\\bin\\app.exe", "c:\\src\\"), "bin\\app.exe");
    EXPECT_EQ(ShortcutFileFor("/home/ann/src/bin/app.exe", "/home/ann/src/"), "bin\\app.exe");
    EXPECT_EQ(ShortcutFileFor("/home/ann/src/app.exe", "/home/ann/src"), "app.exe");
}

TEST(ShortcutFileFor, FileElsewhereKeepsOnlyItsName) {
    EXPECT_EQ(ShortcutFileFor("/opt/tools/app.exe", "/home/ann/src/"), "app.exe");
    EXPECT_EQ(ShortcutFileFor("d:\\other\\app.exe", "c:\\src\\"), "app.exe");
    // A sibling folder whose name only starts like the source folder.
    EXPECT_EQ(ShortcutFileFor("/home/ann/src2/bin/app.exe", "/home/ann/src/"), "app.exe");
    EXPECT_EQ(ShortcutFileFor("/home/ann/src/app.exe", ""), "app.exe");
}

TEST(ShortcutFileFor, SourceFolderInTheMiddleOfAPathIsNotStripped) {
    // The folder occurs in the path, but the path does not begin with it.
    EXPECT_EQ(ShortcutFileFor("/backup/home/ann/src/bin/app.exe", "/home/ann/src/"), "app.exe");
    EXPECT_EQ(ShortcutFileFor("d:\\copy\\c:\\src\\bin\\app.exe", "c:\\src\\"), "app.exe");
}

TEST(ShortcutType, IndexesMapToShellFolderNumbersAndBack) {
    EXPECT_EQ(ShortcutFolderForTypeIndex(0), 23);
    EXPECT_EQ(ShortcutFolderForTypeIndex(1), 2);
    EXPECT_EQ(ShortcutFolderForTypeIndex(2), 7);
    EXPECT_EQ(ShortcutTypeIndexForFolder(23), 0);
    EXPECT_EQ(ShortcutTypeIndexForFolder(2), 1);
    EXPECT_EQ(ShortcutTypeIndexForFolder(7), 2);
    EXPECT_EQ(ShortcutTypeIndexForFolder(0), 0);
    EXPECT_EQ(ShortcutTypeIndexForFolder(99), 0);
}

}  // namespace
}  // namespace pcn
