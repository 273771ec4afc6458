#include <gtest/gtest.h>

#include "building/BuildHost.h"
#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "signing/BuildSigning.h"
#include "signing/SigningJobs.h"
#include "signing/tests/TestSupport.h"

namespace pcn {
namespace {

using namespace pcn::test;

class BuildSigningTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_unique<SettingsStore>(work / "PCN.conf");
        writeFile(work / "me.spc", "credentials");
        writeFile(work / "me.pvk", "key");
        package.m_strProduct = "Tarnwick Tools";
        package.m_strSignInfo = "http://tarnwick.example/";
        package.m_strSignCredentials = (work / "me.spc").string();
        package.m_strSignKey = (work / "me.pvk").string();
        package.m_strTargetFolder = (work / "out").string();  // no trailing separator
        package.m_arrOutputFiles = {"Tools.CAB", "ToolsW.EXE"};
        package.m_bMD5 = 0;
        package.m_bTimeStamp = 1;
    }

    BuildSigningResult sign(UserInterface& ui, const std::atomic<int>* abort = nullptr) {
        return signBuildOutput(package, ui, &host, settings.get(), abort);
    }

    FakeTools fakes;
    ScratchDir work;
    std::unique_ptr<SettingsStore> settings;
    CCabObj package;
    RecordingHost host;
    ScriptedUserInterface ui;
};

TEST_F(BuildSigningTest, SignsEachOutputFileAndGoesOnAfterAFailure) {
    // Signing the cabinet fails; the executable is signed but its time stamp fails.
    fakes.tool("SignCode",
               "case \"$*\" in *Tools.CAB*) echo 'Error: cannot sign';; *\" -x \"*) echo 'Error: no server';; "
               "*) echo Succeeded;; esac");
    fakes.tool("ChkTrust", "echo Trusted");
    BuildSigningResult r = sign(ui);
    const std::string out = (work / "out").string() + "/";
    EXPECT_FALSE(r.skipped);
    EXPECT_EQ(r.failedFiles, (std::vector<std::string>{out + "Tools.CAB"}));
    EXPECT_EQ(r.signedFiles, (std::vector<std::string>{out + "ToolsW.EXE"}));
    EXPECT_EQ(r.unstampedFiles, (std::vector<std::string>{out + "ToolsW.EXE"}));
    EXPECT_EQ(host.statuses,
              (std::vector<std::string>{"Signing the output file(s)......", "Signing file......", "Signing file......",
                                        "Setting Timestamp......", "Timestamp set failed."}));
    // The failed time stamp is a warning that names the server; the file stays signed.
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].icon, Icon::Warning);
    EXPECT_EQ(ui.shown()[0].text, "The time stamp server " + std::string(codesign::kDefaultTimeStampUrl) +
                                      " did not set a time stamp.\n\nThese files are signed, but without a time "
                                      "stamp:\n" + out + "ToolsW.EXE");
    EXPECT_EQ(r.timeStampServer, codesign::kDefaultTimeStampUrl);
    const std::string calls = fakes.calls();
    EXPECT_EQ(calls.find("ChkTrust"), std::string::npos);  // no trust check in a build
    EXPECT_NE(calls.find("[-n]\n[Tarnwick Tools]\n[-i]\n[http://tarnwick.example/]\n[-a]\n[sha1]\n[" + out +
                         "Tools.CAB]\ncall\n"),
              std::string::npos)
        << calls;
    EXPECT_NE(calls.find("[-x]\n[-ts]\n[http://timestamp.digicert.com]\n[" + out +
                         "ToolsW.EXE]\ncall\n"),
              std::string::npos)
        << calls;

    fakes.tool("SignCode", "echo Succeeded");
    host.statuses.clear();
    r = sign(ui);
    EXPECT_EQ(r.signedFiles.size(), 2u);
    EXPECT_EQ(host.statuses.back(), "Timestamp successfully set.");
}

TEST_F(BuildSigningTest, MissingCredentialsAskUntilFoundOrCancelled) {
    fakes.tool("SignCode", "echo Succeeded");
    package.m_strSignCredentials = (work / "later.spc").string();
    ui.queueAnswer(Answer::Retry);
    ui.queueAnswer(Answer::Cancel);
    BuildSigningResult r = sign(ui);
    EXPECT_TRUE(r.skipped);
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[0].text,
              "Unable to find your Software Publishing Credentials file.\n" + package.m_strSignCredentials);
    EXPECT_EQ(ui.shown()[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(ui.shown()[0].icon, Icon::Error);
    EXPECT_TRUE(fakes.calls().empty());

    // The user puts the file in place and answers Retry: signing goes on.
    struct PlacingUi : ScriptedUserInterface {
        fs::path file;
        Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                       Answer defaultAnswer) override {
            ScriptedUserInterface::message(text, caption, icon, buttons, defaultAnswer);
            writeFile(file, "credentials");
            return Answer::Retry;
        }
    } placing;
    placing.file = package.m_strSignCredentials;
    r = sign(placing);
    EXPECT_FALSE(r.skipped);
    EXPECT_EQ(placing.shown().size(), 1u);
    EXPECT_EQ(r.signedFiles.size(), 2u);
}

TEST_F(BuildSigningTest, KeyIsCheckedOnlyWhenItIsAPath) {
    fakes.tool("SignCode", "echo Succeeded");
    package.m_bTimeStamp = 0;
    package.m_strSignKey = "Tarnwick Key Container";
    BuildSigningResult r = sign(ui);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(r.signedFiles.size(), 2u);
    EXPECT_NE(fakes.calls().find("[-v]\n[Tarnwick Key Container]\n"), std::string::npos);

    package.m_strSignKey = (work / "missing.pvk").string();
    ui.queueAnswer(Answer::Cancel);
    r = sign(ui);
    EXPECT_TRUE(r.skipped);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Unable to find your Private Key file.\n" + package.m_strSignKey);
}

TEST_F(BuildSigningTest, BuildHostSeesStatusesAndFailureLines) {
    struct StepRecorder : BuildHost {
        std::vector<std::string> steps;
        void showStep(std::string_view text) override { steps.emplace_back(text); }
        void showPhase(std::string_view) override {}
        void showCurrentFile(std::string_view) override {}
        void showProgress(const BuildProgress&) override {}
    } build;
    fakes.tool("SignCode", "case \"$*\" in *Tools.CAB*) printf 'Trying\\nError: cannot sign\\n';; *) echo Succeeded;; esac");
    package.m_bTimeStamp = 0;
    BuildSigningResult r = signBuildOutput(package, ui, build, settings.get());
    EXPECT_EQ(r.failedFiles.size(), 1u);
    EXPECT_EQ(build.steps, (std::vector<std::string>{"Signing the output file(s)......", "Signing file......",
                                                     "Error: cannot sign", "Signing file......"}));
    build.abortRequested = 1;
    fakes.clearCalls();
    r = signBuildOutput(package, ui, build, settings.get());
    EXPECT_TRUE(r.signedFiles.empty());
    EXPECT_TRUE(fakes.calls().empty());
}

TEST_F(BuildSigningTest, AbortedBuildSignsNothingMore) {
    fakes.tool("SignCode", "echo Succeeded");
    std::atomic<int> abort{1};
    BuildSigningResult r = sign(ui, &abort);
    EXPECT_TRUE(r.signedFiles.empty());
    EXPECT_TRUE(fakes.calls().empty());
}

// A time-stamp server given for one job reaches the tool as one argument,
// whatever it holds: a '"' adds no argument and an '@' swallows no token. A
// failed time stamp is recorded on the job while the file stays signed.
TEST_F(BuildSigningTest, TimeStampServerIsOneArgumentAndItsFailureIsRecorded) {
    fakes.tool("SignCode", "case \"$*\" in *\" -x \"*) echo 'Error: no server';; *) echo Succeeded;; esac");
    CSignCodeInfo job(settings.get());
    job.host = &host;
    job.file = (work / "Tools.EXE").string();
    job.credentials = (work / "me.spc").string();
    job.key = (work / "me.pvk").string();
    job.timeStamp = 1;
    job.checkTrust = 0;
    job.timeStampServer = "http://stamp.example/a\" -evil @FileName@ b";
    EXPECT_TRUE(runSigningWorker(job));
    EXPECT_TRUE(job.timeStampFailed);
    EXPECT_NE(fakes.calls().find("[-x]\n[-t]\n[http://stamp.example/a\" -evil @FileName@ b]\n[" + job.file +
                                 "]\ncall\n"),
              std::string::npos)
        << fakes.calls();

    fakes.tool("SignCode", "echo Succeeded");
    CSignCodeInfo stamped(settings.get());
    stamped.file = job.file;
    stamped.timeStamp = 1;
    stamped.checkTrust = 0;
    EXPECT_TRUE(runSigningWorker(stamped));
    EXPECT_FALSE(stamped.timeStampFailed);
}

}  // namespace
}  // namespace pcn
