#pragma once
// One FTP control connection over libcurl, kept open across the steps of a
// transfer: log in, enter (or create) the upload directory, list it, upload
// files block by block. Each step reports failure with libcurl's error text
// and the server's last response, which the error dialog shows as details.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef void CURL;

namespace pcn {

struct FtpEndpoint {
    std::string host;  // as an address names it (IPv6 in brackets)
    int32_t port = 21;
    std::string userName;
    std::string password;
    bool passive = false;   // PASV/EPSV data connections; otherwise active (PORT/EPRT)
    bool useTls = false;    // explicit TLS (AUTH), required for control and data; passive then
    std::string tlsCaFile;  // certificates to trust instead of the system's
};

// The host of a server text: an address with a scheme ("ftp://host:21/x"),
// or, failing that, the text with "ftp://" put in front (a bare host name).
// False when neither is an address.
bool parseServerAddress(const std::string& serverText, std::string& host);

class FtpConnection {
public:
    // Returned by a block source to stop the upload.
    static constexpr size_t kStopUpload = static_cast<size_t>(-1);
    // Fills up to max bytes of the buffer; 0 at the end of the data.
    using BlockSource = std::function<size_t(char* buffer, size_t max)>;

    // Waiting on the network ends too once *abortFlag is non-zero.
    explicit FtpConnection(const std::atomic<int32_t>* abortFlag);
    ~FtpConnection();
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    bool connect(const FtpEndpoint& endpoint);
    // The directory the server put us in at login.
    const std::string& loginDirectory() const { return loginDirectory_; }
    // Changes to the directory, creating what is missing of it; the empty
    // text and the login directory itself need no change.
    bool enterDirectory(const std::string& directory);
    // The names in the current directory, listed afresh.
    bool listNames(std::vector<std::string>& names);
    // Stores a file of that name in the current directory from the source.
    bool upload(const std::string& remoteName, const BlockSource& source);

    // Why the last step failed.
    bool stoppedByAbort() const { return stoppedByAbort_; }
    std::string errorText() const;
    const std::string& lastResponse() const { return lastResponse_; }
    // The commands of the session as sent, the password left out (tests).
    const std::vector<std::string>& commandsSent() const { return commands_; }

private:
    bool perform(const std::string& urlPath);
    void resetRequest();
    friend struct FtpCallbacks;

    CURL* curl_;
    const std::atomic<int32_t>* abortFlag_;
    std::string base_;           // "ftp://host:port/"
    std::string directoryPath_;  // URL path of the current directory, ending with '/' (or empty)
    std::string loginDirectory_;
    std::string listing_;
    const BlockSource* source_ = nullptr;
    bool sourceStopped_ = false;
    int code_ = 0;
    char errorBuffer_[256] = {};
    bool stoppedByAbort_ = false;
    std::string lastResponse_;
    bool replyStarts_ = true;
    std::vector<std::string> commands_;
};

}  // namespace pcn
