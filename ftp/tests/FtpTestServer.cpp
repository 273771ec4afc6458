#include "ftp/tests/FtpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Process.h"

extern char** environ;

namespace pcn::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

std::string script() { return std::string(PCN_SOURCE_DIR) + "/ftp/tests/ftp_server.py"; }

bool makeCertificate(const std::string& cert, const std::string& key) {
    ProcessOptions options;
    options.searchPath = true;
    ProcessResult made = runProcess("openssl",
                                    {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                                     "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                                     "subjectAltName=IP:127.0.0.1"},
                                    options);
    return made.started && made.exitCode == 0;
}

}  // namespace

bool ftpServerAvailable() {
    ProcessResult probe = runProcess(kPython, {"-c", "import pyftpdlib, OpenSSL"});
    return probe.started && probe.exitCode == 0;
}

FtpTestServer::FtpTestServer(std::string root, bool tls, Replies replies) : root_(std::move(root)) {
    std::filesystem::create_directories(root_);
    work_ = root_ + ".server";
    std::filesystem::create_directories(work_);
    std::vector<std::string> args{kPython, script(), "--root", root_, "--user", kUser,
                                  "--password", kPassword, "--log", work_ + "/server.log"};
    if (tls) {
        cert_ = work_ + "/cert.pem";
        const std::string key = work_ + "/key.pem";
        if (!makeCertificate(cert_, key)) return;
        args.insert(args.end(), {"--cert", cert_, "--key", key});
    }
    if (replies == Replies::WithheldAfterData) args.push_back("--withhold-transfer-reply");
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kPython, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    // The server prints its port once it listens.
    std::string line;
    char c;
    while (pid_ > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    port_ = line.empty() ? 0 : std::atoi(line.c_str());
}

FtpTestServer::~FtpTestServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(work_, ec);
}

std::string FtpTestServer::log() const {
    std::string text;
    readWholeFile(work_ + "/server.log", text);
    return text;
}

CFTPObj FtpTestServer::site(const std::string& directory) const {
    CFTPObj site;
    site.m_strDescription = "Test server";
    site.m_strServer = "ftp://127.0.0.1";
    site.m_nPort = port_;
    site.m_strUserName = kUser;
    site.m_strPassword = kPassword;
    site.m_strDirectory = directory;
    if (!cert_.empty()) {
        site.m_bUseTls = 1;
        site.m_strTlsCaFile = cert_;
    }
    return site;
}

int unusedPort() {
    // Bind to a free port, then let it go: nothing listens there afterwards.
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

}  // namespace pcn::test
