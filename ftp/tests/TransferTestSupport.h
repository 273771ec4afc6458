#pragma once
// Runs DoFTP of the real PcnFtp.so (loaded from the program folder) on a site
// and records everything the transfer thread shows.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ftp/FtpTransfer.h"
#include "model/CCabObj.h"

namespace pcn::test {

class RecordingPage : public FtpTransferPage {
public:
    void setStatus(const std::string& text) override;
    void setCurrentProgress(uint32_t percent) override;
    void setOverallProgress(uint32_t percent) override;
    void showFtpError(const std::string& mainText, const std::string& details) override;
    void showMessage(const std::string& text) override;
    void transferEnded(FtpTransferResult result) override;

    // Waits for the end report; empty when none came in time.
    std::optional<FtpTransferResult> waitForEnd(int seconds = 60);

    // Called on the transfer thread with each current-file percent (tests
    // that cancel from there).
    std::function<void(uint32_t)> onCurrentProgress;

    std::mutex mutex;
    std::vector<std::string> statuses;
    std::vector<uint32_t> current, overall;
    std::vector<std::pair<std::string, std::string>> ftpErrors;  // main text, details
    std::vector<std::string> messages;
    bool runningWasClearedAtEnd = false;
    FtpTransferRequest* request = nullptr;

private:
    std::condition_variable ended_;
    std::optional<FtpTransferResult> result_;
};

// One send of files to a site through the library; the outcome and what the page saw.
struct SendRun {
    std::optional<FtpTransferResult> result;
    RecordingPage page;
};

// Sends site's m_arrFiles; before(request) may arrange a cancel.
void sendThroughLibrary(CFTPObj& site, SendRun& run,
                        const std::function<void(FtpTransferRequest&)>& before = {});

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
// Bytes that do not repeat in short cycles (so a misplaced block shows).
std::string patternBytes(size_t size, unsigned seed);

}  // namespace pcn::test
