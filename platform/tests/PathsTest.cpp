#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Paths.h"

namespace pcn {

TEST(Paths, SplitsOnBothSeparators) {
    EXPECT_EQ(fileNamePart("C:\\Tools\\demo.pcp"), "demo.pcp");
    EXPECT_EQ(fileNamePart("/home/u/demo.pcp"), "demo.pcp");
    EXPECT_EQ(fileNamePart("demo.pcp"), "demo.pcp");
    EXPECT_EQ(fileNamePart("dir/"), "");
    EXPECT_EQ(folderPart("C:\\Tools\\demo.pcp"), "C:\\Tools\\");
    EXPECT_EQ(folderPart("/home/u/demo.pcp"), "/home/u/");
    EXPECT_EQ(folderPart("demo.pcp"), "");
}

TEST(Paths, FileExistsForFilesAndFolders) {
    auto dir = std::filesystem::temp_directory_path();
    EXPECT_TRUE(fileExists(dir.string()));
    EXPECT_FALSE(fileExists((dir / "surely-not-here-4711").string()));
    EXPECT_FALSE(fileExists(""));
}

TEST(Paths, FindsNamesIgnoringCaseComponentByComponent) {
    const auto dir = std::filesystem::temp_directory_path() / "pcn-case-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "Help");
    for (const char* name : {"Extract.Exe", "Help/default.htm"}) std::ofstream(dir / name) << "x";
    const std::string folder = dir.string();

    EXPECT_EQ(findIgnoringCase(folder, "EXTRACT.EXE"), (dir / "Extract.Exe").string());
    EXPECT_EQ(findIgnoringCase(folder, "Extract.Exe"), (dir / "Extract.Exe").string());
    EXPECT_EQ(findIgnoringCase(folder, "HELP/Default.HTM"), (dir / "Help" / "default.htm").string());
    EXPECT_EQ(findIgnoringCase(folder, "Extract.Ex"), "");
    EXPECT_EQ(findIgnoringCase(folder, "Help/missing.htm"), "");
    EXPECT_EQ(findIgnoringCase(folder + "/nowhere", "Extract.Exe"), "");
    std::filesystem::remove_all(dir);
}

TEST(Paths, DataFolderHonoursEnvironmentAndIsCreated) {
    auto dir = std::filesystem::temp_directory_path() / "pcn-data-test" / "nested";
    std::filesystem::remove_all(dir.parent_path());
    ::setenv("PCN_DATA_DIR", dir.c_str(), 1);
    std::string folder = dataFolder();
    ::unsetenv("PCN_DATA_DIR");
    EXPECT_EQ(folder, dir.string() + "/");
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    std::filesystem::remove_all(dir.parent_path());
}

TEST(Paths, ProgramFolderEndsWithSeparator) {
    ::unsetenv("PCN_PROGRAM_DIR");
    std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fileExists(folder));
}

}  // namespace pcn
