#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "distribution/ScriptedUserInterface.h"
#include "platform/RegistryHelper.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace fs = std::filesystem;

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pcn-settings-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = dir / "sub" / "PCN.conf";
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    fs::path dir, file;
};

// Value names are the user's (the file names a picker remembers, for one):
// an "=" or a leading ";" / "[" must not change what the file means.
TEST_F(SettingsStoreTest, ValueNamesWithEqualsSignsAndCommentMarksReadBack) {
    SettingsStore s(file);
    ASSERT_TRUE(s.writeString("Recent", "C:\\a=b.txt", "first"));
    ASSERT_TRUE(s.writeString("Recent", ";not a comment", "second"));
    ASSERT_TRUE(s.writeString("Recent", "[not a section]", "third"));
    ASSERT_TRUE(s.writeInt("Recent", "x=1", 7));
    SettingsStore reread(file);
    EXPECT_EQ(reread.readString("Recent", "C:\\a=b.txt", ""), "first");
    EXPECT_EQ(reread.readString("Recent", ";not a comment", ""), "second");
    EXPECT_EQ(reread.readString("Recent", "[not a section]", ""), "third");
    EXPECT_EQ(reread.readInt("Recent", "x=1", 0), 7);
    EXPECT_EQ(reread.readString("Recent", "C:\\a", "absent"), "absent");
}

TEST_F(SettingsStoreTest, DefaultsUntilWrittenThenTypedValues) {
    SettingsStore s(file);
    EXPECT_EQ(s.readInt("Settings\\Package", "CabSize", 1440000), 1440000);
    EXPECT_EQ(s.readString("Settings\\Package", "Company", "none"), "none");
    EXPECT_FALSE(s.sectionExists("Settings\\Package"));

    ASSERT_TRUE(s.writeInt("Settings\\Package", "CabSize", -5));
    ASSERT_TRUE(s.writeString("Settings\\Package", "Company", "a=b\\c\r\nd"));
    EXPECT_TRUE(s.sectionExists("Settings\\Package"));

    SettingsStore reread(file);
    EXPECT_EQ(reread.readInt("Settings\\Package", "CabSize", 0), -5);
    EXPECT_EQ(reread.readString("Settings\\Package", "Company", ""), "a=b\\c\r\nd");
    // An integer read as a string and a string of digits read as an integer.
    EXPECT_EQ(reread.readString("Settings\\Package", "CabSize", ""), "-5");
}

TEST_F(SettingsStoreTest, TwoWritersLoseNothing) {
    SettingsStore seed(file);
    ASSERT_TRUE(seed.writeInt("Settings", "seed", 1));
    constexpr int kWrites = 40;
    pid_t child = ::fork();
    if (child == 0) {
        SettingsStore s(file);
        for (int i = 0; i < kWrites; ++i) s.writeInt("Settings\\Child", "v" + std::to_string(i), i);
        ::_exit(0);
    }
    SettingsStore s(file);
    for (int i = 0; i < kWrites; ++i) s.writeInt("Settings\\Parent", "v" + std::to_string(i), i);
    int status = 0;
    ::waitpid(child, &status, 0);
    SettingsStore check(file);
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(check.readInt("Settings\\Child", "v" + std::to_string(i), -1), i);
        EXPECT_EQ(check.readInt("Settings\\Parent", "v" + std::to_string(i), -1), i);
    }
}

TEST_F(SettingsStoreTest, MachineFileSuppliesUnsetValues) {
    fs::path machine = dir / "machine.conf";
    SettingsStore m(machine);
    ASSERT_TRUE(m.writeString("Settings\\STD", "Self Extractor", "/opt/Extract.Exe"));
    ASSERT_TRUE(m.writeInt("Settings\\STD", "Animation", 2));
    SettingsStore s(file, machine);
    EXPECT_EQ(s.readString("Settings\\STD", "Self Extractor", ""), "/opt/Extract.Exe");
    ASSERT_TRUE(s.writeInt("Settings\\STD", "Animation", 1));
    EXPECT_EQ(s.readInt("Settings\\STD", "Animation", 0), 1);
}

// The machine-wide file comes from $XDG_CONFIG_DIRS, most important folder
// first; relative entries are ignored, and /etc/xdg is the default.
TEST_F(SettingsStoreTest, MachineFileIsLookedForInTheConfigFolders) {
    const std::string relative = "Tarnwick Development/Parcelon Packages/PCN.conf";
    const char* settings = std::getenv("PCN_SETTINGS");
    const std::string saved = settings ? settings : "";
    ::unsetenv("PCN_SETTINGS");
    fs::create_directories((dir / "second" / relative).parent_path());
    SettingsStore(dir / "second" / relative).writeInt("Settings", "Reload", 0);

    ::setenv("XDG_CONFIG_DIRS", ("held:" + (dir / "first").string() + ":" + (dir / "second").string()).c_str(), 1);
    EXPECT_EQ(machineSettingsFile(), dir / "second" / relative);
    ::setenv("XDG_CONFIG_DIRS", (dir / "first").string().c_str(), 1);
    EXPECT_EQ(machineSettingsFile(), dir / "first" / relative);  // none there: the first folder's
    ::unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(machineSettingsFile(), fs::path("/etc/xdg") / relative);
    ::setenv("PCN_SETTINGS", (dir / "own.conf").c_str(), 1);
    EXPECT_TRUE(machineSettingsFile().empty());

    if (settings) ::setenv("PCN_SETTINGS", saved.c_str(), 1);
    else ::unsetenv("PCN_SETTINGS");
}

TEST_F(SettingsStoreTest, RegistryHelperKeysAndFailure) {
    SettingsStore s(file);
    ScriptedUserInterface ui;
    CRegistryHelper helper(&ui, &s);
    auto key = helper.OpenMachineKey("SOFTWARE\\Tarnwick Development\\Parcelon Packages\\Information");
    ASSERT_TRUE(key);
    std::string text = "unchanged";
    EXPECT_FALSE(helper.ReadText(*key, "SignCode", text));
    EXPECT_EQ(text, "unchanged");
    ASSERT_TRUE(helper.WriteText(*key, "SignCode", "/x/cert.spc"));
    EXPECT_TRUE(helper.ReadText(*key, "SignCode", text));
    EXPECT_EQ(text, "/x/cert.spc");
    EXPECT_TRUE(ui.shown().empty());

    // A store that cannot be written: "Error %d:" with the system's number.
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    fs::permissions(file.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    auto none = helper.OpenUserKey("Software\\Microsoft\\Cryptography\\SignCode");
    EXPECT_FALSE(none);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Error " + std::to_string(EACCES) + ":");
    fs::permissions(file.parent_path(), fs::perms::owner_all);
}

}  // namespace pcn
