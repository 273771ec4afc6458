// PcnFtp.so against a real FTP server (pyftpdlib) on 127.0.0.1.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "distribution/ScriptedUserInterface.h"
#include "ftp/FtpLibrary.h"
#include "ftp/tests/FtpTestServer.h"
#include "ftp/tests/TransferTestSupport.h"
#include "model/tests/TestFolder.h"

namespace pcn {
namespace {

using test::FtpTestServer;
using test::readBytes;
using test::SendRun;
using test::writeBytes;

bool contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::ftpServerAvailable()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    }
    std::string local(const std::string& name, const std::string& bytes) {
        const std::string path = folder.file("out/" + name);
        std::filesystem::create_directories(folder.file("out"));
        writeBytes(path, bytes);
        return path;
    }
    std::string remote(const FtpTestServer& server, const std::string& path) {
        return readBytes(server.root() + "/" + path);
    }

    test::TestFolder folder;
};

TEST_F(TransferTest, SendsEveryFileByteForByteIntoADirectoryItCreatesInActiveMode) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    const std::string block = test::patternBytes(2048, 1);
    const std::string large = test::patternBytes(300 * 1024 + 17, 2);
    CFTPObj site = server.site("releases/2026 spring");
    site.m_arrFiles = {local("Tools.CAB", large), local("Tools.Inf", block), local("empty.txt", "")};

    SendRun run;
    test::sendThroughLibrary(site, run);

    EXPECT_EQ(run.result, kTransferSucceeded);
    EXPECT_TRUE(run.page.runningWasClearedAtEnd);
    EXPECT_TRUE(run.page.ftpErrors.empty());
    EXPECT_TRUE(run.page.messages.empty());
    EXPECT_TRUE(remote(server, "releases/2026 spring/Tools.CAB") == large) << "content differs";
    EXPECT_TRUE(remote(server, "releases/2026 spring/Tools.Inf") == block) << "content differs";
    EXPECT_TRUE(std::filesystem::is_regular_file(server.root() + "/releases/2026 spring/empty.txt"));
    EXPECT_EQ(std::filesystem::file_size(server.root() + "/releases/2026 spring/empty.txt"), 0u);

    const auto& s = run.page.statuses;
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ(s[0], "Connecting...");
    EXPECT_EQ(s[1], "Setting Current Directory...");
    EXPECT_EQ(s[2], "Sending: " + site.m_arrFiles[0]);
    EXPECT_TRUE(contains(s, "Sending: " + site.m_arrFiles[2]));
    EXPECT_EQ(std::count(s.begin(), s.end(), "Closing File..."), 3);
    EXPECT_EQ(s.back(), "Closing Connection...");
    // Overall progress only grows and ends at 100.
    ASSERT_FALSE(run.page.overall.empty());
    EXPECT_TRUE(std::is_sorted(run.page.overall.begin(), run.page.overall.end()));
    EXPECT_EQ(run.page.overall.back(), 100u);
    EXPECT_GT(run.page.current.size(), 3u);
    // Active mode: the client named a port for the server to connect to.
    const std::string log = server.log();
    EXPECT_TRUE(log.find("EPRT") != std::string::npos || log.find("PORT") != std::string::npos) << log;
    EXPECT_EQ(log.find("PASV"), std::string::npos);
}

TEST_F(TransferTest, PassiveModeAndTlsUploadToo) {
    const std::string bytes = test::patternBytes(70000, 3);
    {
        FtpTestServer server(folder.file("plain"));
        ASSERT_TRUE(server.started());
        CFTPObj site = server.site("/incoming");
        site.m_bPassive = 1;
        site.m_arrFiles = {local("a.bin", bytes)};
        SendRun run;
        test::sendThroughLibrary(site, run);
        EXPECT_EQ(run.result, kTransferSucceeded);
        EXPECT_TRUE(remote(server, "incoming/a.bin") == bytes) << "content differs";
        EXPECT_NE(server.log().find("<- EPSV"), std::string::npos) << server.log();
        EXPECT_EQ(server.log().find("<- EPRT"), std::string::npos);
    }
    {
        FtpTestServer server(folder.file("tls"), true);
        ASSERT_TRUE(server.started());
        CFTPObj site = server.site("secure");  // TLS data connections are always passive
        site.m_arrFiles = {local("b.bin", bytes)};
        SendRun run;
        test::sendThroughLibrary(site, run);
        EXPECT_EQ(run.result, kTransferSucceeded) << (run.page.ftpErrors.empty() ? "" : run.page.ftpErrors[0].first);
        EXPECT_TRUE(remote(server, "secure/b.bin") == bytes) << "content differs";
        EXPECT_NE(server.log().find("<- AUTH "), std::string::npos) << server.log();

        // The same server with a certificate nobody vouches for is refused.
        site.m_strTlsCaFile.clear();
        site.m_arrFiles = {local("c.bin", bytes)};
        SendRun untrusted;
        test::sendThroughLibrary(site, untrusted);
        EXPECT_EQ(untrusted.result, kTransferFailed);
        ASSERT_EQ(untrusted.page.ftpErrors.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(server.root() + "/secure/c.bin"));
    }
}

TEST_F(TransferTest, WithOverwriteOffFilesOnTheServerAreSkippedAndTheSendEndsAtOneHundred) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    CFTPObj site = server.site("up");
    site.m_arrFiles = {local("one.cab", test::patternBytes(5000, 4)), local("two.doc", test::patternBytes(9000, 5))};
    SendRun first;
    test::sendThroughLibrary(site, first);
    ASSERT_EQ(first.result, kTransferSucceeded);

    // Changed locally, but present remotely: nothing is sent again.
    writeBytes(site.m_arrFiles[0], "changed");
    writeBytes(site.m_arrFiles[1], "changed too");
    site.m_bOverwriteExisting = 0;
    SendRun second;
    test::sendThroughLibrary(site, second);
    EXPECT_EQ(second.result, kTransferSucceeded);
    EXPECT_EQ(remote(server, "up/one.cab"), test::patternBytes(5000, 4));
    EXPECT_EQ(remote(server, "up/two.doc"), test::patternBytes(9000, 5));
    const auto& s = second.page.statuses;
    EXPECT_TRUE(contains(s, "Checking file existence: one.cab"));
    EXPECT_TRUE(contains(s, "Skipping File: one.cab"));
    EXPECT_TRUE(contains(s, "Skipping File: two.doc"));
    EXPECT_FALSE(contains(s, "Sending: " + site.m_arrFiles[0]));
    EXPECT_EQ(second.page.current, (std::vector<uint32_t>{100, 100}));
    ASSERT_FALSE(second.page.overall.empty());
    EXPECT_EQ(second.page.overall.back(), 100u);

    // A file that is not there yet is still sent.
    site.m_arrFiles.push_back(local("three.txt", "new"));
    SendRun third;
    test::sendThroughLibrary(site, third);
    EXPECT_EQ(third.result, kTransferSucceeded);
    EXPECT_EQ(remote(server, "up/three.txt"), "new");
}

TEST_F(TransferTest, CancelDuringALargeFileIsReportedAsCancelledAndLeavesTheLocalFilesAlone) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    const std::string large = test::patternBytes(16 * 1024 * 1024, 6);
    CFTPObj site = server.site("big");
    site.m_arrFiles = {local("large.bin", large), local("after.txt", "never sent")};
    const auto stamp = std::filesystem::last_write_time(site.m_arrFiles[0]);

    SendRun run;
    test::sendThroughLibrary(site, run, [&](FtpTransferRequest& request) {
        run.page.onCurrentProgress = [&request](uint32_t percent) {
            if (percent >= 5) request.abortRequested.store(1);
        };
    });

    EXPECT_EQ(run.result, kTransferCancelled);
    EXPECT_TRUE(run.page.ftpErrors.empty());
    // Stopped within a block or so of the request; the partial file stays.
    ASSERT_FALSE(run.page.current.empty());
    EXPECT_LT(run.page.current.back(), 10u);
    const std::string partial = server.root() + "/big/large.bin";
    if (std::filesystem::exists(partial)) {
        EXPECT_LT(std::filesystem::file_size(partial), large.size());
    }
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/big/after.txt"));
    EXPECT_TRUE(readBytes(site.m_arrFiles[0]) == large);
    EXPECT_EQ(std::filesystem::last_write_time(site.m_arrFiles[0]), stamp);
    EXPECT_EQ(readBytes(site.m_arrFiles[1]), "never sent");
}

TEST_F(TransferTest, AWrongPasswordShowsTheServersReplyAsDetails) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    CFTPObj site = server.site("");
    site.m_strPassword = "wrong";
    site.m_arrFiles = {local("x.txt", "x")};
    SendRun run;
    test::sendThroughLibrary(site, run);
    EXPECT_EQ(run.result, kTransferFailed);
    ASSERT_EQ(run.page.ftpErrors.size(), 1u);
    EXPECT_FALSE(run.page.ftpErrors[0].first.empty());
    EXPECT_TRUE(run.page.ftpErrors[0].second.starts_with("530")) << run.page.ftpErrors[0].second;
    EXPECT_EQ(run.page.statuses, std::vector<std::string>{"Connecting..."});
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/x.txt"));
}

// A site without a user name logs in as "anonymous", as FTP clients do;
// an empty USER command is refused by servers.
TEST_F(TransferTest, ASiteWithoutAUserNameLogsInAnonymously) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    CFTPObj site = server.site("");
    site.m_strUserName.clear();
    site.m_strPassword.clear();
    site.m_arrFiles = {local("x.txt", "x")};
    SendRun run;
    test::sendThroughLibrary(site, run);
    EXPECT_EQ(run.result, kTransferSucceeded) << (run.page.ftpErrors.empty() ? "" : run.page.ftpErrors[0].second);
    EXPECT_TRUE(std::filesystem::exists(server.root() + "/x.txt"));
    EXPECT_NE(server.log().find("USER anonymous"), std::string::npos) << server.log();
}

TEST_F(TransferTest, AServerThatDoesNotListenFailsAtOnceWithAClearError) {
    CFTPObj site;
    site.m_strServer = "127.0.0.1";  // a bare host: read with "ftp://" put in front
    site.m_nPort = test::unusedPort();
    site.m_arrFiles = {local("x.txt", "x")};
    const auto start = std::chrono::steady_clock::now();
    SendRun run;
    test::sendThroughLibrary(site, run);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(run.result, kTransferFailed);
    ASSERT_EQ(run.page.ftpErrors.size(), 1u);
    EXPECT_NE(run.page.ftpErrors[0].first.find("connect"), std::string::npos) << run.page.ftpErrors[0].first;
    EXPECT_NE(run.page.ftpErrors[0].first.find(std::to_string(site.m_nPort)), std::string::npos);
}

TEST_F(TransferTest, AnAddressThatIsNoneEvenWithTheSchemeIsRefused) {
    CFTPObj site;
    site.m_strServer = "ftp://bad host/";
    SendRun run;
    test::sendThroughLibrary(site, run);
    EXPECT_EQ(run.result, kTransferFailed);
    EXPECT_EQ(run.page.messages, std::vector<std::string>{"Please enter a valid FTP URL"});
    EXPECT_TRUE(run.page.ftpErrors.empty());
}

TEST_F(TransferTest, ALocalFileThatCannotBeOpenedEndsTheSendingWithTheOpenMessage) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    CFTPObj site = server.site("d");
    const std::string gone = folder.file("out/gone.cab");
    site.m_arrFiles = {local("first.txt", "first"), gone, local("last.txt", "last")};
    SendRun run;
    test::sendThroughLibrary(site, run);
    EXPECT_EQ(run.result, kTransferFailed);
    EXPECT_EQ(run.page.messages, std::vector<std::string>{"Failed to open file:\n" + gone +
                                                           "\n\nError # [ 2 ]\n\nSystem Message:\nNo such file or directory"});
    EXPECT_EQ(remote(server, "d/first.txt"), "first");
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/d/gone.cab"));
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/d/last.txt"));
    EXPECT_EQ(run.page.statuses.back(), "Closing Connection...");
}

TEST_F(TransferTest, AnEmptyFileListConnectsEntersTheDirectoryAndSucceeds) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    CFTPObj site = server.site("/made/for/nothing");
    SendRun run;
    test::sendThroughLibrary(site, run);
    EXPECT_EQ(run.result, kTransferSucceeded);
    EXPECT_TRUE(std::filesystem::is_directory(server.root() + "/made/for/nothing"));
}

TEST(FtpLibraryTest, AMissingLibraryIsReportedWithTheLoadersReason) {
    const std::string programDir = std::getenv("PCN_PROGRAM_DIR") ? std::getenv("PCN_PROGRAM_DIR") : "";
    ::setenv("PCN_PROGRAM_DIR", "/nonexistent/", 1);
    ScriptedUserInterface ui;
    FtpLibrary library;
    EXPECT_FALSE(library.load(ui));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, std::string(kUnableToLoadFtpLibrary));
    EXPECT_NE(ui.shown()[0].details.find("PcnFtp.so"), std::string::npos);
    EXPECT_EQ(library.doFtp(), nullptr);
    ::setenv("PCN_PROGRAM_DIR", programDir.c_str(), 1);
}

}  // namespace
}  // namespace pcn
