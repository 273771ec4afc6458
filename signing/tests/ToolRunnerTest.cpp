#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "platform/SettingsStore.h"
#include "signing/SigningJobs.h"
#include "signing/tests/TestSupport.h"

namespace pcn {
namespace {

using namespace pcn::test;

class ToolRunnerTest : public ::testing::Test {
protected:
    void SetUp() override { settings = std::make_unique<SettingsStore>(dir / "PCN.conf"); }

    void fakeTool(const std::string& name, const std::string& print, int exitCode = 0) {
        fakes.tool(name, print, exitCode);
    }
    std::string calls() { return fakes.calls(); }

    std::unique_ptr<CSignCodeInfo> job() {
        auto jp = std::make_unique<CSignCodeInfo>(settings.get());
        CSignCodeInfo& j = *jp;
        j.file = (dir / "app.exe").string();
        j.credentials = "/k/c.spc";
        j.key = "/k/k.pvk";
        j.name = "App";
        j.information = "http://info";
        j.host = &host;
        return jp;
    }

    FakeTools fakes;
    const ScratchDir& dir = fakes.dir;
    std::unique_ptr<SettingsStore> settings;
    RecordingHost host;
};

TEST_F(ToolRunnerTest, SignRunAnnouncesPassesArgumentsAndSendsOutput) {
    fakeTool("SignCode", "echo 'Succeeded'");
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    j.md5 = 0;
    EXPECT_TRUE(j.RunSignCode());
    EXPECT_EQ(calls(), "[-spc]\n[/k/c.spc]\n[-v]\n[/k/k.pvk]\n[-n]\n[App]\n[-i]\n[http://info]\n[-a]\n[sha1]\n[" +
                           j.file + "]\ncall\n");
    EXPECT_EQ(j.output, "\r\nSucceeded\n");
    EXPECT_EQ(j.exitCode, 0);
    EXPECT_EQ(host.statuses, (std::vector<std::string>{"Signing file......"}));
    EXPECT_EQ(host.outputs, (std::vector<std::string>{"Signing Code.", "Succeeded"}));
}

// The box follows the tool while it runs: the tool waits for the host to
// have shown its first line before it prints the second.
class GoFileHost : public RecordingHost {
public:
    explicit GoFileHost(fs::path go) : go_(std::move(go)) {}
    void appendOutput(std::string_view text) override {
        RecordingHost::appendOutput(text);
        if (text == "first") writeFile(go_, "");
    }

private:
    fs::path go_;
};

TEST_F(ToolRunnerTest, OutputReachesTheHostLineByLineWhileTheToolRuns) {
    const fs::path go = dir / "go";
    fakeTool("SignCode", "printf 'first\\r\\n'; for i in $(seq 100); do [ -f '" + go.string() +
                             "' ] && break; sleep 0.05; done; [ -f '" + go.string() +
                             "' ] && printf 'second\\nthird' || echo late");
    GoFileHost streaming(go);
    auto jobPtr = job();
    jobPtr->host = &streaming;
    EXPECT_TRUE(jobPtr->RunSignCode());
    EXPECT_EQ(streaming.outputs, (std::vector<std::string>{"Signing Code.", "first", "second", "third"}));
    EXPECT_EQ(jobPtr->output, "\r\nfirst\r\nsecond\nthird");
}

TEST_F(ToolRunnerTest, UsageTextFailsEvenWithExitCodeZero) {
    fakeTool("SignCode", "echo 'Usage: SignCode [options] file'", 0);
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    EXPECT_FALSE(j.RunSignCode());
    EXPECT_EQ(j.exitCode, 0);
    EXPECT_EQ(j.output, "\r\nUsage: SignCode [options] file\n");
    fakeTool("SignCode", "echo 'Error: no key'", 0);
    EXPECT_FALSE(j.RunSignCode());
}

// A command in a message reads as the user would type it: a Windows path
// keeps its single backslashes.
TEST(ToolCommandTest, TextQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ((ToolCommand{"wine", {"regsvr32", "/s", "Z:\\Controls\\My Gauge.ocx"}}).text(),
              "wine regsvr32 /s 'Z:\\Controls\\My Gauge.ocx'");
    EXPECT_EQ((ToolCommand{"ChkTrust", {"it's here.exe"}}).text(), "ChkTrust \"it's here.exe\"");
}

TEST_F(ToolRunnerTest, NegativeCodeInParenthesesFailsOnlyTrustChecks) {
    fakeTool("SignCode", "echo 'Result (-1) noted'");
    fakeTool("ChkTrust", "echo 'Result (-2146762496)'");
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    EXPECT_TRUE(j.RunSignCode());
    EXPECT_TRUE(j.RunTrustAfterSigning());  // a trust check after signing does not look for it
    CCheckTrustInfo check;
    check.file = "x.exe";
    check.host = &host;
    EXPECT_FALSE(check.RunQuietCheck());
    EXPECT_FALSE(check.RunCheckWithUI());
}

TEST_F(ToolRunnerTest, SilentOrFailingToolFailsAndKeepsTheOutputField) {
    fakeTool("SignCode", "", 3);
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    j.output = "before";
    EXPECT_FALSE(j.RunSignCode());
    EXPECT_EQ(j.exitCode, 3);
    EXPECT_EQ(j.output, "before");

    // Printing text without a failure mark but exiting non-zero is a failure too.
    fakeTool("SignCode", "echo 'Something went wrong'", 1);
    EXPECT_FALSE(j.RunSignCode());
    EXPECT_EQ(j.exitCode, 1);
}

TEST_F(ToolRunnerTest, MissingToolGivesTheSystemErrorAndTheExitCodeNote) {
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    EXPECT_FALSE(runSigningWorker(j));
    EXPECT_EQ(j.exitCode, ENOENT);
    EXPECT_EQ(host.statuses.back(), "Failed to Sign Code.");
    EXPECT_EQ(host.outputs.back(), "\r\nSign Code Failed.\r\nSignCode Process Exit Code [0x00000002]");
    EXPECT_EQ(host.ends, (std::vector<bool>{false}));
    EXPECT_EQ(formatExitCode(259), "0x00000259");  // the report's format is decimal digits after "0x"
}

TEST_F(ToolRunnerTest, EmptyTimeStampTemplateRunsTheToolWithoutArguments) {
    fakeTool("SignCode", "echo stamped");
    ASSERT_TRUE(settings->writeString(codesign::kSection, codesign::kTimeStampCommand, ""));
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    EXPECT_TRUE(j.RunTimeStamp());
    EXPECT_EQ(calls(), "call\n");
    EXPECT_EQ(host.outputs.front(), "Setting Timestamp.");
    EXPECT_TRUE(j.timeStampCommand.arguments.empty());
}

// The default names an RFC 3161 service that answers today; a template the
// user has in the settings is used as it stands.
TEST_F(ToolRunnerTest, DefaultTimeStampTemplateNamesAServerThatExists) {
    fakeTool("SignCode", "echo stamped");
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    EXPECT_TRUE(j.RunTimeStamp());
    EXPECT_EQ(j.timeStampCommand.arguments,
              (std::vector<std::string>{"-tr", "10", "-tw", "2", "-x", "-ts", "http://timestamp.digicert.com", j.file}));
    EXPECT_EQ(codesign::kDefaultTimeStampUrl, "http://timestamp.digicert.com");

    ASSERT_TRUE(settings->writeString(codesign::kSection, codesign::kTimeStampCommand,
                                      "-t http://timestamp.verisign.com/scripts/timstamp.dll @FileName@"));
    EXPECT_TRUE(j.RunTimeStamp());
    EXPECT_EQ(j.timeStampCommand.arguments,
              (std::vector<std::string>{"-t", "http://timestamp.verisign.com/scripts/timstamp.dll", j.file}));
}

TEST_F(ToolRunnerTest, HostileFileNameReachesTheToolAsOneArgument) {
    fakeTool("SignCode", "echo ok");
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    j.file = (dir / "my \"app\" $(touch pwned); touch pwned2 `touch pwned3`.exe").string();
    EXPECT_TRUE(j.RunSignCode());
    EXPECT_NE(calls().find("[" + j.file + "]\ncall\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "pwned"));
    EXPECT_FALSE(fs::exists(dir / "pwned2"));
    EXPECT_FALSE(fs::exists(dir / "pwned3"));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(ToolRunnerTest, SigningWorkerReportsEachStep) {
    fakeTool("SignCode", "case \"$1\" in -tr) echo 'Error: server unreachable';; *) echo Succeeded;; esac");
    fakeTool("ChkTrust", "echo 'Error: not trusted (-2146762487)'");
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    j.timeStamp = 1;
    j.checkTrust = 1;
    EXPECT_TRUE(runSigningWorker(j));
    EXPECT_EQ(host.statuses,
              (std::vector<std::string>{"Signing file......", "Setting Timestamp......", "Checking Trust......",
                                        "Complete"}));
    std::string box = host.box();
    EXPECT_NE(box.find("Timestamp could not be set."), std::string::npos);
    EXPECT_NE(box.find("Check Trust failed."), std::string::npos);
    EXPECT_EQ(host.ends, (std::vector<bool>{true}));
    // The check after signing shows the trust dialog: no quiet flag.
    EXPECT_TRUE(calls().ends_with("call\n[" + j.file + "]\ncall\n")) << calls();
}

TEST_F(ToolRunnerTest, FailedSigningWithTextAddsNoExitCodeNote) {
    fakeTool("SignCode", "echo 'Error: Unable to find the private key file'; exit 1");
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    j.timeStamp = 1;
    EXPECT_FALSE(runSigningWorker(j));
    EXPECT_EQ(host.box().find("Exit Code"), std::string::npos);
    EXPECT_EQ(calls().find("[-x]"), std::string::npos);  // no time stamp after a failed signing
    EXPECT_EQ(host.ends, (std::vector<bool>{false}));
}

TEST_F(ToolRunnerTest, TrustWorkerTellsTheUsersAnswer) {
    struct Case {
        std::string quiet, shown;
        const char* appended;
        bool success;
    };
    const Case cases[] = {
        {"echo Trusted", "echo Trusted", "User selected to accept Trust.", true},
        {"echo 'Error: x (-1)'", "echo Accepted", "User selected to accept Unverified Trust.", false},
        {"echo Trusted", "echo 'Error: declined'", "User selected to decline Trust.", true},
        {"echo 'Error: x (-1)'", "echo 'Error: declined'", "User selected to decline Unverified Trust.", false},
    };
    for (const auto& c : cases) {
        fakeTool("ChkTrust", "if [ \"$1\" = -q ]; then " + c.quiet + "; else " + c.shown + "; fi");
        RecordingHost h;
        CCheckTrustInfo check;
        check.file = "";
        check.host = &h;
        EXPECT_EQ(runTrustCheckWorker(check), c.success);
        EXPECT_NE(h.box().find(c.appended), std::string::npos) << c.appended;
        EXPECT_EQ(h.box().find("Failed to Check Trust.") != std::string::npos, !c.success);
        EXPECT_EQ(h.statuses.back(), c.success ? "Complete" : "Trust could not be verified.");
    }
    // Without the display flag a trusted file takes a single run, and an
    // empty file name arrives as one empty argument.
    fakes.clearCalls();
    fakeTool("ChkTrust", "echo Trusted");
    CCheckTrustInfo check;
    check.displayUI = 0;
    check.host = &host;
    EXPECT_TRUE(runTrustCheckWorker(check));
    EXPECT_EQ(calls(), "[-q]\n[]\ncall\n");
    EXPECT_EQ(host.outputs.front(), "Checking Trust. . .");
}

TEST_F(ToolRunnerTest, MissingChkTrustShowsTheExitCodeNote) {
    CCheckTrustInfo check;
    check.file = (dir / "app.exe").string();
    check.host = &host;
    EXPECT_FALSE(runTrustCheckWorker(check));
    EXPECT_EQ(check.exitCode, ENOENT);
    std::string box = host.box();
    EXPECT_NE(box.find("Failed to Check Trust."), std::string::npos) << box;
    EXPECT_NE(box.find("ChkTrust Process Exit Code [0x00000002]"), std::string::npos) << box;
    EXPECT_EQ(host.ends, (std::vector<bool>{false}));
}

TEST_F(ToolRunnerTest, CancelEndsTheRunningToolNotTheThread) {
    fakeTool("SignCode", "echo started; sleep 30; echo Succeeded");
    auto jobPtr = job();
    CSignCodeInfo& j = *jobPtr;
    j.checkTrust = 0;
    ToolWorker worker;
    bool result = true;
    auto begin = std::chrono::steady_clock::now();
    worker.start(j, [&] { result = runSigningWorker(j); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    worker.cancel();
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
    EXPECT_FALSE(result);
    EXPECT_EQ(host.ends, (std::vector<bool>{false}));
}

}  // namespace
}  // namespace pcn
