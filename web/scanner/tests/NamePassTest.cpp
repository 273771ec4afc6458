// The name pass over hand-written component bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "model/CCabObj.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::web {
namespace {

namespace fs = std::filesystem;

class NamePassTest : public ::testing::Test {
protected:
    NamePassTest() : folder_(fs::temp_directory_path() / ("pcn-names-" + std::to_string(::getpid()))) {
        fs::create_directories(folder_);
    }
    ~NamePassTest() override { fs::remove_all(folder_); }

    // Runs the pass over `bytes` stored as `fileName`; returns the names found.
    std::vector<std::string> scan(const std::string& bytes, const std::string& fileName = "control.ocx") {
        fs::path file = folder_ / fileName;
        std::ofstream(file, std::ios::binary) << bytes;
        found_ = ScanFileForLibraryNames(package_, file.string());
        std::vector<std::string> names;
        for (int i = 0; i < package_.GetDependencyCount(); ++i) names.push_back(package_.GetDependencyName(i));
        return names;
    }
    static std::string bytes(std::string_view text) { return std::string(text); }
    static std::string bytes(const char* text, size_t length) { return std::string(text, length); }

    fs::path folder_;
    CCabObj package_;
    bool found_ = false;
};

using Names = std::vector<std::string>;
constexpr std::string_view kEnd("\0\0\n", 3);  // two bytes, then the line feed

TEST_F(NamePassTest, NamesKeepTheirCaseAndAreAddedOnceIgnoringCase) {
    EXPECT_EQ(scan("uses kernel32.dll" + bytes(kEnd) + "and KERNEL32.DLL" + bytes(kEnd)), (Names{"kernel32.dll"}));
    EXPECT_TRUE(found_);
    EXPECT_EQ(package_.GetDependencyOrigin(0), kOriginNamed);
    EXPECT_EQ(package_.GetDependencyInclude(0), 0);
    EXPECT_EQ(package_.GetDependencyOs(0), 1);
    EXPECT_EQ(package_.GetDependencyCpu(0), 1);

    package_.ClearDependencies();
    package_.AddDependency("KERNEL32.DLL");  // seen by the loaded-module pass
    EXPECT_EQ(scan("kernel32.dll" + bytes(kEnd)), (Names{"KERNEL32.DLL"}));
}

TEST_F(NamePassTest, NamesAreLettersAndDigitsOfAtLeastTwoCharacters) {
    EXPECT_EQ(scan(">a.dll" + bytes(kEnd) + ">ab.dll" + bytes(kEnd) + "my_cd.dll" + bytes(kEnd) + "my-e.dll" +
                   bytes(kEnd) + "my fg.dll" + bytes(kEnd) + "Z9.Dll" + bytes(kEnd)),
              (Names{"ab.dll", "cd.dll", "fg.dll", "Z9.Dll"}));
    // Only rejected names: the matches still count.
    package_.ClearDependencies();
    EXPECT_EQ(scan("_.dll" + bytes(kEnd) + "x.DLL" + bytes(kEnd)), Names{});
    EXPECT_TRUE(found_);
}

TEST_F(NamePassTest, LongNamesAreCutAt259Characters) {
    std::string stem(300, 'q');
    Names names = scan(stem + ".dll" + bytes(kEnd));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::string(259, 'q') + ".dll");
}

TEST_F(NamePassTest, TheComponentsOwnNameIsSkipped) {
    EXPECT_EQ(scan("SELF.DLL" + bytes(kEnd) + "other.dll" + bytes(kEnd), "Self.dll"), (Names{"other.dll"}));
}

TEST_F(NamePassTest, MatchesNeedTheLineFeedAndRoomBeforeIt) {
    EXPECT_EQ(scan("ab.dll" + bytes(kEnd.substr(0, 2))), Names{});  // no line feed after it
    EXPECT_FALSE(found_);
    EXPECT_EQ(scan(bytes("ab.dll\0\n", 8)), Names{});                // one byte before the line feed
    EXPECT_FALSE(found_);
    EXPECT_EQ(scan(bytes("ab.dll\r\0\n", 9)), Names{});              // a CR two places before: three needed
    EXPECT_EQ(scan(bytes("ab.dll\0\r\0\n", 10)), (Names{"ab.dll"}));
    package_.ClearDependencies();
    EXPECT_EQ(scan(bytes("cd.dll\n\0\0\n", 10)), Names{});           // the first line feed ends the segment
}

TEST_F(NamePassTest, AutomationProxyIsMarkedAsSystemLibrary) {
    EXPECT_EQ(scan("AutPrx32.dll" + bytes(kEnd) + "autprx32.DLL" + bytes(kEnd)), (Names{"AutPrx32.dll *"}));
    EXPECT_EQ(package_.GetDependencyOrigin(0), kOriginSystem);
}

TEST_F(NamePassTest, SharedObjectNamesInElfComponentsOnly) {
    const std::string names = "libz.so.1" + bytes(kEnd) + "libgcc_s.so.1" + bytes(kEnd) + "x.so" + bytes(kEnd) +
                              "libfoo.something" + bytes(kEnd) + "libplain.so" + bytes(kEnd) + "plug.dll" +
                              bytes(kEnd);
    EXPECT_EQ(scan(bytes(std::string_view("\x7f" "ELF\0", 5)) + names, "plugin.so"), (Names{"libz.so.1", "libgcc_s.so.1", "libplain.so", "plug.dll"}));
    package_.ClearDependencies();
    EXPECT_EQ(scan("MZ" + names), (Names{"plug.dll"}));
}

TEST_F(NamePassTest, UnreadableFileFindsNothing) {
    EXPECT_FALSE(ScanFileForLibraryNames(package_, (folder_ / "absent.ocx").string()));
    EXPECT_FALSE(ScanFileForLibraryNames(package_, folder_.string()));
    EXPECT_EQ(package_.GetDependencyCount(), 0);
}

// A component naming tens of thousands of libraries: each name is looked up
// once (no pass over the list per name), at most kMaxNamesKept are kept and
// the rest are counted, so that the caller can say names were skipped.
TEST_F(NamePassTest, ManyNamesAreCappedAndTheRestCounted) {
    std::string data;
    for (int i = 0; i < 40000; ++i) data += "lib" + std::to_string(i) + ".dll" + bytes(kEnd) + "LIB" + std::to_string(i) + ".DLL" + bytes(kEnd);
    fs::path file = folder_ / "many.ocx";
    std::ofstream(file, std::ios::binary) << data;
    int skipped = -1;
    EXPECT_TRUE(ScanFileForLibraryNames(package_, file.string(), &skipped));
    EXPECT_EQ(package_.GetDependencyCount(), kMaxNamesKept);
    EXPECT_EQ(skipped, 40000 - kMaxNamesKept);
    EXPECT_EQ(package_.GetDependencyName(kMaxNamesKept - 1), "lib" + std::to_string(kMaxNamesKept - 1) + ".dll");
}

}  // namespace
}  // namespace pcn::web
