// Registration of Linux components in this process: the entry points really
// run (they leave marker files) and their results decide the messages; the
// remembered folder follows the paths that reach an entry point. Windows
// components under Wine are tested by register-wine.sh.

#include <cstdlib>
#include <filesystem>

#include "distribution/ScriptedUserInterface.h"
#include "platform/AtomicFile.h"
#include "platform/SettingsStore.h"
#include "web/Registration.h"
#include "web/tests/WebTestSupport.h"

namespace pcn {
namespace {

using namespace registration;

std::string component(const std::string& variant) {
    return std::string(PCN_TEST_BIN) + "/ElfComponent-" + variant + ".so";
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        marker_ = folder_.file("marker");
        ::setenv("PCN_TEST_MARKER", marker_.c_str(), 1);
        ::unsetenv("PCN_TEST_RESULT");
        settings_ = std::make_unique<SettingsStore>(folder_.file("settings.conf"));
        memory_ = {settings_.get(), 1};
    }
    void TearDown() override {
        ::unsetenv("PCN_TEST_MARKER");
        ::unsetenv("PCN_TEST_RESULT");
    }
    bool marked(const std::string& suffix) const { return std::filesystem::exists(marker_ + suffix); }
    std::string lastPath() const { return settings_->readString(kSection, kLastPath, ""); }

    test::TempFolder folder_;
    std::string marker_;
    std::unique_ptr<SettingsStore> settings_;
    RegistrationMemory memory_;
    ScriptedUserInterface ui_;
};

TEST_F(Registration, EntryPointsRunAndZeroIsReportedAsSuccess) {
    ASSERT_TRUE(RegisterComponent(component("full"), ui_, memory_));
    EXPECT_TRUE(marked(".registered"));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, kRegistered);
    EXPECT_EQ(ui_.shown()[0].icon, Icon::Information);
    EXPECT_EQ(lastPath(), std::string(PCN_TEST_BIN) + "/");
    EXPECT_EQ(settings_->readInt(kSection, kLastIndex, 0), 1);

    ui_.clear();
    ASSERT_TRUE(UnregisterComponent(component("full"), ui_));
    EXPECT_TRUE(marked(".unregistered"));
    EXPECT_EQ(ui_.shown().at(0).text, kUnregistered);
}

TEST_F(Registration, AnyOtherResultIsAFailureWithItsCode) {
    ::setenv("PCN_TEST_RESULT", "1", 1);  // S_FALSE: a success code, still a failure here
    EXPECT_FALSE(RegisterComponent(component("full"), ui_, memory_));
    EXPECT_TRUE(marked(".registered"));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_TRUE(ui_.shown()[0].isErrorDetails);
    EXPECT_TRUE(ui_.shown()[0].text.starts_with(std::string(kRegisterFailed) + "\n\n"));
    EXPECT_EQ(ui_.shown()[0].details, "Error 1\r\n\r\nDllRegisterServer returned 0x00000001");
    EXPECT_FALSE(lastPath().empty());  // the entry point was reached

    ui_.clear();
    ::setenv("PCN_TEST_RESULT", "0x80004005", 1);
    EXPECT_FALSE(UnregisterComponent(component("full"), ui_));
    EXPECT_TRUE(ui_.shown().at(0).text.starts_with(std::string(kUnregisterFailed) + "\n\n"));
    EXPECT_EQ(ui_.shown()[0].details, "Error -2147467259\r\n\r\nDllUnregisterServer returned 0x80004005");
}

TEST_F(Registration, WithoutUnregisterEntryTheFailureIsReportedAndTheFolderRemembered) {
    EXPECT_FALSE(UnregisterComponent(component("registeronly"), ui_, memory_));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_TRUE(ui_.shown()[0].text.starts_with(std::string(kUnregisterFailed) + "\n\n"));
    EXPECT_NE(ui_.shown()[0].details.find("DllUnregisterServer"), std::string::npos);
    EXPECT_FALSE(marked(".unregistered"));
    EXPECT_EQ(lastPath(), std::string(PCN_TEST_BIN) + "/");
}

TEST_F(Registration, WithoutRegisterEntryTheTypeLibraryPathFailsAndNothingIsRemembered) {
    EXPECT_FALSE(RegisterComponent(component("none"), ui_, memory_));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_TRUE(ui_.shown()[0].text.starts_with(std::string(kRegisterFailed) + "\n\n"));
    EXPECT_EQ(ui_.shown()[0].details,
              "Error -2147312566\r\n\r\nThe file exports no DllRegisterServer and holds no type library");
    EXPECT_EQ(lastPath(), "");
}

TEST_F(Registration, FilesThatAreNoLibraryFailToLoad) {
    std::string text = folder_.file("notes.dll");
    ASSERT_TRUE(writeFileAtomically(text, "just text").ok);
    std::string brokenElf = folder_.file("broken.so");
    ASSERT_TRUE(writeFileAtomically(brokenElf, std::string("\x7f" "ELF", 4) + "cut short").ok);
    std::vector<std::string> messages;
    for (const std::string& path : {text, brokenElf, folder_.file("missing.dll")}) {
        ui_.clear();
        EXPECT_FALSE(RegisterComponent(path, ui_, memory_)) << path;
        ASSERT_EQ(ui_.shown().size(), 1u) << path;
        EXPECT_TRUE(ui_.shown()[0].text.starts_with(std::string(kLoadFailed) + "\n\n")) << path;
        EXPECT_FALSE(ui_.shown()[0].details.empty()) << path;
        messages.push_back(ui_.shown()[0].text);
    }
    // What is wrong with the file is read in the message, not only under Details.
    EXPECT_EQ(messages[0], std::string(kLoadFailed) + "\n\nNeither a Linux shared object nor a Windows library");
    EXPECT_NE(messages[2].find("No such file"), std::string::npos) << messages[2];
    EXPECT_EQ(lastPath(), "");
}

TEST_F(Registration, WindowsComponentsWithoutWineNameWine) {
    const char* path = std::getenv("PATH");
    std::string saved = path ? path : "";
    ::setenv("PATH", folder_.path().c_str(), 1);  // no wine here
    bool ok = RegisterComponent(test::fixture("control64.ocx"), ui_, memory_);
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_FALSE(ok);
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_TRUE(ui_.shown()[0].text.starts_with(std::string(kLoadFailed) + "\n\n"));
    EXPECT_NE(ui_.shown()[0].details.find("Wine is not installed"), std::string::npos);
    EXPECT_EQ(lastPath(), "");
}

}  // namespace
}  // namespace pcn
