// The transfer thread of PcnFtp: connect, enter the site's directory, send
// the site's files in 2048-byte blocks with progress for the current file and
// overall, and report the end to the page.

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/core/ProgressSink.h"
#include "ftp/FtpConnection.h"
#include "ftp/FtpTransfer.h"
#include "model/CCabObj.h"
#include "model/CFTPObj.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

constexpr size_t kBlockSize = 2048;
constexpr const char* kInvalidUrl = "Please enter a valid FTP URL";
constexpr const char* kLookupFailed =
    "An exception occurred when attempting to create an FTP connection.\r\n  Please check your internet "
    "configuration and make sure your environment\r\n is set up with WININET.DLL in the path.";

uint64_t localSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
}

std::string openFailureText(const std::string& path, int error) {
    return "Failed to open file:\n" + path + "\n\nError # [ " + std::to_string(error) + " ]\n\nSystem Message:\n" +
           std::strerror(error);
}

// The local file being sent; closed however the sending ends.
class LocalFile {
public:
    explicit LocalFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), error_(errno) {}
    ~LocalFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    int openError() const { return error_; }
    ssize_t read(char* buffer, size_t size) {
        ssize_t got;
        do got = ::read(fd_, buffer, size);
        while (got < 0 && errno == EINTR);
        return got;
    }

private:
    int fd_;
    int error_;
};

class Transfer {
public:
    explicit Transfer(FtpTransferRequest& request)
        : request_(request), page_(*request.page), site_(*request.package->m_pFtpSite), ftp_(&request.abortRequested) {}

    FtpTransferResult run() {
        page_.setStatus("Connecting...");
        if (!connect()) return failedOrCancelled();
        page_.setStatus("Setting Current Directory...");
        if (!ftp_.enterDirectory(site_.m_strDirectory)) {
            reportFtpError();
            return failedOrCancelled();
        }
        return sendFiles();
    }

private:
    bool connect() {
        FtpEndpoint endpoint;
        if (!parseServerAddress(site_.m_strServer, endpoint.host)) {
            page_.showMessage(kInvalidUrl);
            return false;
        }
        endpoint.port = site_.m_nPort;
        endpoint.userName = site_.m_strUserName;
        endpoint.password = site_.m_strPassword;
        endpoint.passive = site_.m_bPassive != 0;
        endpoint.useTls = site_.m_bUseTls != 0;
        endpoint.tlsCaFile = site_.m_strTlsCaFile;
        if (ftp_.connect(endpoint)) return true;
        reportFtpError();
        return false;
    }

    // A stop the user asked for is no error to show.
    void reportFtpError() {
        if (ftp_.stoppedByAbort()) return;
        std::string details = ftp_.lastResponse();
        while (!details.empty() && (details.back() == '\n' || details.back() == '\r')) details.pop_back();
        page_.showFtpError(ftp_.errorText(), details);
    }

    FtpTransferResult failedOrCancelled() const {
        return ftp_.stoppedByAbort() ? kTransferCancelled : kTransferFailed;
    }

    bool existsRemotely(const std::string& remoteName) {
        page_.setStatus("Checking file existence: " + remoteName);
        std::vector<std::string> names;
        if (!ftp_.listNames(names)) {
            // The lookup failing counts as "not there": the file is sent.
            if (!ftp_.stoppedByAbort()) {
                const std::string text = ftp_.errorText();
                page_.showFtpError(text.empty() ? kLookupFailed : text, ftp_.lastResponse());
            }
            return false;
        }
        for (const auto& name : names)
            if (name == remoteName) return true;
        return false;
    }

    void showOverall() { page_.setOverallProgress(progressPercent(overallDone_, overallTotal_)); }

    FtpTransferResult sendFiles() {
        FtpTransferResult result = sendEach();
        page_.setStatus("Closing Connection...");
        return result;
    }

    FtpTransferResult sendEach() {
        overallTotal_ = 0;
        for (const auto& path : site_.m_arrFiles) overallTotal_ += localSize(path);
        overallDone_ = 0;
        for (const std::string& path : site_.m_arrFiles) {
            if (request_.abortRequested.load()) return kTransferCancelled;
            const std::string remoteName = fileNamePart(path);
            if (!site_.m_bOverwriteExisting && existsRemotely(remoteName)) {
                if (request_.abortRequested.load()) return kTransferCancelled;
                page_.setStatus("Skipping File: " + remoteName);
                overallDone_ += localSize(path);
                page_.setCurrentProgress(100);
                showOverall();
                continue;
            }
            FtpTransferResult sent = sendFile(path, remoteName);
            if (sent != kTransferSucceeded) return sent;
        }
        return kTransferSucceeded;
    }

    FtpTransferResult sendFile(const std::string& path, const std::string& remoteName) {
        const uint64_t currentTotal = localSize(path);
        uint64_t currentDone = 0;
        page_.setStatus("Sending: " + path);
        LocalFile file(path);
        if (!file.isOpen()) {
            // The files after it are not sent, so the sending failed.
            page_.showMessage(openFailureText(path, file.openError()));
            return kTransferFailed;
        }
        int readError = 0;
        uint32_t shownCurrent = 101, shownOverall = 101;
        FtpConnection::BlockSource source = [&](char* buffer, size_t max) -> size_t {
            if (request_.abortRequested.load()) return FtpConnection::kStopUpload;
            ssize_t got = file.read(buffer, std::min(max, kBlockSize));
            if (got < 0) {
                readError = errno;
                return FtpConnection::kStopUpload;
            }
            currentDone += static_cast<uint64_t>(got);
            overallDone_ += static_cast<uint64_t>(got);
            // Only changes reach the page: a block is far smaller than a percent of most files.
            const uint32_t current = progressPercent(currentDone, currentTotal);
            const uint32_t overall = progressPercent(overallDone_, overallTotal_);
            if (current != shownCurrent) page_.setCurrentProgress(shownCurrent = current);
            if (overall != shownOverall) page_.setOverallProgress(shownOverall = overall);
            return static_cast<size_t>(got);
        };
        if (!ftp_.upload(remoteName, source)) {
            if (readError) {
                page_.showMessage(openFailureText(path, readError));
                return kTransferFailed;
            }
            if (request_.abortRequested.load()) return kTransferCancelled;
            reportFtpError();
            return kTransferFailed;
        }
        page_.setStatus("Closing File...");
        return kTransferSucceeded;
    }

    FtpTransferRequest& request_;
    FtpTransferPage& page_;
    CFTPObj& site_;
    FtpConnection ftp_;
    uint64_t overallTotal_ = 0;
    uint64_t overallDone_ = 0;
};

void transferThread(FtpTransferRequest* request) {
    FtpTransferResult result = kTransferFailed;
    {
        Transfer transfer(*request);
        result = transfer.run();
    }  // the connection is closed here
    FtpTransferPage* page = request->page;
    request->running.store(0);
    page->transferEnded(result);
}

// One transfer at a time; the thread is joined before the next starts and
// when the library is unloaded, so that no code of it runs after dlclose.
std::mutex threadMutex;
struct TransferThreadSlot {
    std::thread thread;
    ~TransferThreadSlot() {
        if (thread.joinable()) thread.join();
    }
} slot;

}  // namespace
}  // namespace pcn

extern "C" __attribute__((visibility("default"))) int32_t DoFTP(pcn::FtpTransferRequest* request) {
    if (!request || !request->page || !request->package || !request->package->m_pFtpSite) return 0;
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    std::lock_guard lock(pcn::threadMutex);
    if (pcn::slot.thread.joinable()) pcn::slot.thread.join();
    request->running.store(1);
    try {
        pcn::slot.thread = std::thread(pcn::transferThread, request);
    } catch (const std::system_error&) {
        request->running.store(0);
        return 0;
    }
    return 1;
}
