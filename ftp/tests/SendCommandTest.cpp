// `parcelon send` against a real FTP server (pyftpdlib) on 127.0.0.1.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/core/CPCNDoc.h"
#include "ftp/tests/FtpTestServer.h"
#include "ftp/tests/TransferTestSupport.h"
#include "model/CCabObj.h"
#include "model/FtpSiteOptions.h"
#include "model/PackageFile.h"
#include "model/tests/TestFolder.h"
#include "platform/Process.h"

extern char** environ;

namespace pcn {
namespace {

using test::FtpTestServer;
using test::readBytes;

std::string parcelon() { return std::string(PCN_PROGRAM_DIR) + "/parcelon"; }

class SendCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::ftpServerAvailable()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
        ::unsetenv("PCN_FTP_PASSWORD");
    }
    void TearDown() override { ::unsetenv("PCN_FTP_PASSWORD"); }

    // A built cabinet package: two outputs, its INF file and summary in the target folder.
    std::string builtPackage(size_t cabinetSize = 40000) {
        CCabObj package;
        package.m_strProduct = "Tools";
        package.m_strProjectName = "Tools";
        package.m_strTargetFolder = folder.file("target");
        package.m_arrOutputFiles = {"Tools.CAB", "Tools.EXE"};
        package.m_bCreateInf = 1;
        package.m_bRebuild = 0;
        package.m_strPackageFile = folder.file("Tools.pcp");
        std::filesystem::create_directories(package.m_strTargetFolder);
        test::writeBytes(folder.file("target/Tools.CAB"), test::patternBytes(cabinetSize, 7));
        test::writeBytes(folder.file("target/Tools.EXE"), test::patternBytes(3000, 8));
        test::writeBytes(folder.file("target/Tools.Inf"), "[Version]\r\n");
        test::writeBytes(folder.file("target/Tools.Doc"), "{\\rtf1}");
        EXPECT_TRUE(SavePackage(package));
        return package.m_strPackageFile;
    }

    test::TestFolder folder;
};

TEST_F(SendCommandTest, SendsTheBuiltFilesToAnAddressWithThePasswordFromTheEnvironment) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    const std::string pcp = builtPackage();
    ::setenv("PCN_FTP_PASSWORD", FtpTestServer::kPassword, 1);
    const std::string url = "ftp://sender@127.0.0.1:" + std::to_string(server.port()) + "/drop/tools";
    ProcessResult sent = runProcess(parcelon(), {"send", pcp, "--url", url, "--passive"});
    EXPECT_EQ(sent.exitCode, 0) << sent.output;
    for (const char* name : {"Tools.CAB", "Tools.EXE", "Tools.Inf", "Tools.Doc"})
        EXPECT_TRUE(readBytes(server.root() + "/drop/tools/" + name) == readBytes(folder.file("target/") + name))
            << name;
    EXPECT_NE(sent.output.find("File Transfer Complete."), std::string::npos) << sent.output;
    EXPECT_NE(server.log().find("<- EPSV"), std::string::npos);

    ::setenv("PCN_FTP_PASSWORD", "wrong", 1);
    ProcessResult refused = runProcess(parcelon(), {"send", pcp, "--url", url});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("530"), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("File Transfer Failed."), std::string::npos) << refused.output;

    // A password inside the address still works, with a warning, and is not shown.
    ::unsetenv("PCN_FTP_PASSWORD");
    const std::string withPassword = "ftp://sender:" + std::string(FtpTestServer::kPassword) +
                                     "@127.0.0.1:" + std::to_string(server.port()) + "/drop/again";
    ProcessResult warned = runProcess(parcelon(), {"send", pcp, "--url", withPassword, "--passive"});
    EXPECT_EQ(warned.exitCode, 0) << warned.output;
    EXPECT_NE(warned.output.find("set PCN_FTP_PASSWORD instead"), std::string::npos) << warned.output;
    EXPECT_EQ(warned.output.find(FtpTestServer::kPassword), std::string::npos) << warned.output;
    EXPECT_TRUE(readBytes(server.root() + "/drop/again/Tools.CAB") == readBytes(folder.file("target/Tools.CAB")));
}

TEST_F(SendCommandTest, SendsToAStoredSiteWithItsOptionsOverTls) {
    FtpTestServer server(folder.file("server"), true);
    ASSERT_TRUE(server.started());
    const std::string pcp = builtPackage();
    CPCNDoc doc;
    auto site = std::make_unique<CFTPObj>(server.site("/releases"));
    site->m_strDescription = "Release server";
    doc.m_listFtpSites.push_back(std::move(site));
    ASSERT_TRUE(doc.SaveFtpSites());
    ASSERT_TRUE(saveFtpSiteOptions(doc.m_szFtpFile, doc.m_listFtpSites));

    ProcessResult sent = runProcess(parcelon(), {"send", pcp, "--site", "Release server"});
    EXPECT_EQ(sent.exitCode, 0) << sent.output;
    EXPECT_TRUE(readBytes(server.root() + "/releases/Tools.CAB") == readBytes(folder.file("target/Tools.CAB")));
    EXPECT_NE(server.log().find("<- AUTH "), std::string::npos);

    ProcessResult unknown = runProcess(parcelon(), {"send", pcp, "--site", "Nowhere"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.output.find("no FTP site \"Nowhere\""), std::string::npos) << unknown.output;
}

pid_t startParcelon(std::vector<std::string> args) {
    args.insert(args.begin(), parcelon());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// Waits until the file on the server has at least `bytes` bytes.
bool waitForArrival(const std::string& path, uintmax_t bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::error_code ec;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::filesystem::exists(path, ec) && std::filesystem::file_size(path, ec) >= bytes) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// Ctrl-C, then the exit status, and how long the end took.
std::pair<int, std::chrono::milliseconds> interrupt(pid_t pid) {
    const auto start = std::chrono::steady_clock::now();
    ::kill(pid, SIGINT);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return {-1, {}};
    return {WEXITSTATUS(status),
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)};
}

TEST_F(SendCommandTest, CtrlCCancelsTheTransferAndExitsWithTheCancelStatus) {
    FtpTestServer server(folder.file("server"));
    ASSERT_TRUE(server.started());
    const size_t size = 100u * 1024 * 1024;
    const std::string pcp = builtPackage(size);
    ::setenv("PCN_FTP_PASSWORD", FtpTestServer::kPassword, 1);
    const std::string url = "ftp://sender@127.0.0.1:" + std::to_string(server.port()) + "/big";
    const pid_t pid = startParcelon({"send", pcp, "--url", url});
    ASSERT_GT(pid, 0);
    // Interrupt once the cabinet has started to arrive.
    const std::string partial = server.root() + "/big/Tools.CAB";
    waitForArrival(partial, 1);
    EXPECT_EQ(interrupt(pid).first, 130);
    std::error_code ec;
    EXPECT_LT(std::filesystem::file_size(partial, ec), size);
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/big/Tools.EXE"));
    EXPECT_EQ(std::filesystem::file_size(folder.file("target/Tools.CAB")), size);
}

TEST_F(SendCommandTest, CtrlCEndsTheSendWhileTheServerWithholdsItsReplyAfterTheData) {
    FtpTestServer server(folder.file("server"), false, FtpTestServer::Replies::WithheldAfterData);
    ASSERT_TRUE(server.started());
    const std::string pcp = builtPackage(5000);
    ::setenv("PCN_FTP_PASSWORD", FtpTestServer::kPassword, 1);
    const std::string url = "ftp://sender@127.0.0.1:" + std::to_string(server.port()) + "/held";
    const pid_t pid = startParcelon({"send", pcp, "--url", url});
    ASSERT_GT(pid, 0);
    // Every byte is there; the server keeps the client waiting for its reply.
    ASSERT_TRUE(waitForArrival(server.root() + "/held/Tools.CAB", 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto [status, took] = interrupt(pid);
    EXPECT_EQ(status, 130);
    EXPECT_LT(took, std::chrono::milliseconds(2000));
}

}  // namespace
}  // namespace pcn
