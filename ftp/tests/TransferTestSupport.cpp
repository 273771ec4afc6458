#include "ftp/tests/TransferTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "distribution/ScriptedUserInterface.h"
#include "ftp/FtpLibrary.h"
#include "platform/AtomicFile.h"

namespace pcn::test {

void RecordingPage::setStatus(const std::string& text) {
    std::lock_guard lock(mutex);
    statuses.push_back(text);
}

void RecordingPage::setCurrentProgress(uint32_t percent) {
    {
        std::lock_guard lock(mutex);
        current.push_back(percent);
    }
    if (onCurrentProgress) onCurrentProgress(percent);
}

void RecordingPage::setOverallProgress(uint32_t percent) {
    std::lock_guard lock(mutex);
    overall.push_back(percent);
}

void RecordingPage::showFtpError(const std::string& mainText, const std::string& details) {
    std::lock_guard lock(mutex);
    ftpErrors.emplace_back(mainText, details);
}

void RecordingPage::showMessage(const std::string& text) {
    std::lock_guard lock(mutex);
    messages.push_back(text);
}

void RecordingPage::transferEnded(FtpTransferResult result) {
    std::lock_guard lock(mutex);
    runningWasClearedAtEnd = request && request->running.load() == 0;
    result_ = result;
    ended_.notify_all();
}

std::optional<FtpTransferResult> RecordingPage::waitForEnd(int seconds) {
    std::unique_lock lock(mutex);
    ended_.wait_for(lock, std::chrono::seconds(seconds), [&] { return result_.has_value(); });
    return result_;
}

void sendThroughLibrary(CFTPObj& site, SendRun& run, const std::function<void(FtpTransferRequest&)>& before) {
    ScriptedUserInterface ui;
    FtpLibrary library;
    ASSERT_TRUE(library.load(ui)) << FtpLibrary::path();
    DoFtpFunction doFtp = library.doFtp();
    ASSERT_NE(doFtp, nullptr);
    CCabObj package;
    package.m_pFtpSite = &site;
    FtpTransferRequest request;
    request.package = &package;
    request.page = &run.page;
    run.page.request = &request;
    if (before) before(request);
    ASSERT_NE(doFtp(&request), 0);
    run.result = run.page.waitForEnd();
    ASSERT_TRUE(run.result.has_value()) << "no end report";
    // The library is unloaded here, which waits for its thread to finish.
}

std::string readBytes(const std::string& path) {
    std::string bytes;
    readWholeFile(path, bytes);
    return bytes;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string patternBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

}  // namespace pcn::test
