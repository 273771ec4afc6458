// Signing defaults from the signing tool's key and the Information key, and
// the question asked when signing lacks credentials or key.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "distribution/ScriptedUserInterface.h"
#include "editing/core/SigningDefaults.h"
#include "model/CCabObj.h"
#include "platform/RegistryHelper.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace {

class SigningDefaultsTest : public ::testing::Test {
protected:
    SigningDefaultsTest() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pcn-signing-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        ::setenv("PCN_DATA_DIR", root_.c_str(), 1);
        store_ = std::make_unique<SettingsStore>(root_ / "settings.conf");
        registry_ = std::make_unique<CRegistryHelper>(&ui, store_.get());
    }
    ~SigningDefaultsTest() override { std::filesystem::remove_all(root_); }

    std::filesystem::path root_;
    ScriptedUserInterface ui;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<CRegistryHelper> registry_;
};

TEST_F(SigningDefaultsTest, ValuesPresentReplaceThePackagesAndProviderTypeZeroMeansSha1) {
    CCabObj package;
    package.m_strSignInfo = "kept";
    ReadSigningDefaults(package, *registry_);
    EXPECT_EQ(package.m_strSignCredentials, "");
    EXPECT_EQ(package.m_strSignInfo, "kept");
    EXPECT_EQ(package.m_bMD5, 1);

    const std::string signCode = "HKEY_CURRENT_USER\\" + std::string(kSignCodeKey);
    store_->writeString(signCode, "Credentials", "/keys/me.spc");
    store_->writeString(signCode, "Key", "/keys/me.pvk");
    store_->writeInt(signCode, "ProviderType", 1);
    WriteInformationUrl(*registry_, "https://example.org/");
    ReadSigningDefaults(package, *registry_);
    EXPECT_EQ(package.m_strSignCredentials, "/keys/me.spc");
    EXPECT_EQ(package.m_strSignKey, "/keys/me.pvk");
    EXPECT_EQ(package.m_strSignInfo, "https://example.org/");
    EXPECT_EQ(package.m_bMD5, 1);

    store_->writeInt(signCode, "ProviderType", 0);
    ReadSigningDefaults(package, *registry_);
    EXPECT_EQ(package.m_bMD5, 0);
    EXPECT_EQ(store_->readString("HKEY_LOCAL_MACHINE\\" + std::string(kInformationKey), "URL", ""),
              "https://example.org/");
}

TEST_F(SigningDefaultsTest, MissingCredentialsOrKeyAskNoKeepsSigningYesTurnsItOff) {
    CCabObj package;
    package.m_strSignCredentials = "/keys/me.spc";
    ui.queueAnswer(Answer::No);
    EXPECT_FALSE(ConfirmSigningCredentials(package, ui));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, kSignatureQuestion);
    EXPECT_EQ(ui.shown()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui.shown()[0].icon, Icon::Information);
    EXPECT_EQ(package.m_bSignature, 1);

    ui.queueAnswer(Answer::Yes);
    EXPECT_TRUE(ConfirmSigningCredentials(package, ui));
    EXPECT_EQ(package.m_bSignature, 0);

    ui.clear();
    package.m_bSignature = 1;
    package.m_strSignKey = "/keys/me.pvk";
    EXPECT_TRUE(ConfirmSigningCredentials(package, ui));
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(package.m_bSignature, 1);
}

}  // namespace
}  // namespace pcn
