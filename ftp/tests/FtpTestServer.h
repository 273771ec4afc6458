#pragma once
// A real FTP server for tests: Debian's pyftpdlib run by /usr/bin/python3 on
// 127.0.0.1 with a fresh root folder, optionally with explicit TLS on a
// certificate made for the test. Stopped when the object goes.

#include <string>
#include <sys/types.h>

#include "model/CFTPObj.h"

namespace pcn::test {

class FtpTestServer {
public:
    static constexpr const char* kUser = "sender";
    static constexpr const char* kPassword = "s3cret";

    enum class Replies { Normal, WithheldAfterData };

    // root: the folder the user sees as "/" (created when missing).
    // WithheldAfterData: the server takes a file's data but never answers
    // that the transfer is complete, as a stalled server does.
    explicit FtpTestServer(std::string root, bool tls = false, Replies replies = Replies::Normal);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    const std::string& root() const { return root_; }
    // The certificate clients must trust (TLS servers only).
    const std::string& certificate() const { return cert_; }
    // Everything the server logged: the commands it received, one a line.
    std::string log() const;
    // A site of this server with the given remote directory.
    CFTPObj site(const std::string& directory) const;

private:
    std::string root_;
    std::string work_;
    std::string cert_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 that nothing listens on.
int unusedPort();

// The python interpreter and library the server needs are installed.
bool ftpServerAvailable();

}  // namespace pcn::test
