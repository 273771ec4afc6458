#pragma once
// The signing job (CSignCodeInfo) and the trust-check job (CCheckTrustInfo):
// what to sign or check, the commands built from the templates of
// "Settings\CodeSign", the runs, and the workers that the signing and
// trust-check pages start.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "signing/CommandTemplate.h"
#include "signing/ToolRunner.h"

namespace pcn {

class SettingsStore;

namespace codesign {
inline constexpr std::string_view kSection = "Settings\\CodeSign";
inline constexpr std::string_view kSignCodeCommand = "SignCodeCommand";
inline constexpr std::string_view kTimeStampCommand = "TimeStampCommand";
inline constexpr std::string_view kDefaultSignCodeCommand =
    "-spc @file@ -v @pvkFile@ -n @name@ -i @info@ -a @algorithm@ @FileName@";
// The RFC 3161 service of the authority that took over the one whose
// Authenticode server ("/scripts/timstamp.dll") was shut down; a template
// already in the user's settings is kept as it is.
inline constexpr std::string_view kDefaultTimeStampUrl = "http://timestamp.digicert.com";
inline constexpr std::string_view kDefaultTimeStampCommand =
    "-tr 10 -tw 2 -x -ts http://timestamp.digicert.com @FileName@";
}  // namespace codesign

class CSignCodeInfo : public ToolRunState {
public:
    explicit CSignCodeInfo(SettingsStore* settings = nullptr);

    ToolCommand signCommand;
    ToolCommand timeStampCommand;
    ToolCommand trustCommand;

    std::string file;         // "@FileName@"
    std::string information;  // "@info@"
    std::string name;         // "@name@"
    std::string credentials;  // "@file@"
    std::string key;          // "@pvkFile@"
    int32_t md5 = 1;          // "@algorithm@": 1 md5, 0 sha1, 2 sha256
    int32_t timeStamp = 0;    // time-stamp after signing
    int32_t checkTrust = 1;   // check trust after signing
    // The check after signing shows the signature in the trust dialog and
    // asks the signer; off, it only reports (for a command line, which may
    // run with nobody to ask).
    bool showTrustDialog = true;

    // The templates are read from the settings each time a command is built,
    // unless a caller (the command line) gives one for this job.
    std::optional<std::string> signTemplate;
    std::optional<std::string> timeStampTemplate;
    // A time-stamp server given for this job alone (the command line's
    // --timestamp-url): the default time stamp command with this address as
    // one argument, whatever characters it holds.
    std::optional<std::string> timeStampServer;

    // Set by the signing worker when the file was signed but its time stamp
    // failed.
    bool timeStampFailed = false;

    // The time-stamp template this job uses.
    std::string TimeStampTemplate() const;

    bool BuildSignCommand();
    bool BuildTimeStampCommand();
    bool BuildTrustCommand();

    bool RunSignCode();
    bool RunTimeStamp();
    bool RunTrustAfterSigning();

    TokenValues tokenValues() const;

private:
    SettingsStore* settings_;
};

class CCheckTrustInfo : public ToolRunState {
public:
    ToolCommand command;
    std::string file;
    int32_t displayUI = 1;

    bool BuildQuietCommand();
    bool BuildDisplayCommand();

    bool RunQuietCheck();
    bool RunCheckWithUI();
};

// The signing page's worker: sign, then optionally time-stamp and check
// trust; reports through the job's host and ends with host->finished().
bool runSigningWorker(CSignCodeInfo& job);

// The trust-check page's worker: a quiet check, then (display flag) a check
// that shows the trust information; reports through the job's host.
bool runTrustCheckWorker(CCheckTrustInfo& job);

// A worker thread for one job. cancel() asks the job to stop and ends the
// tool it is running; the thread is always joined, never killed.
class ToolWorker {
public:
    ToolWorker() = default;
    ToolWorker(const ToolWorker&) = delete;
    ToolWorker& operator=(const ToolWorker&) = delete;
    ~ToolWorker();

    void start(ToolRunState& job, std::function<void()> work);
    void cancel();
    void join();
    bool running() const { return thread_.joinable(); }

private:
    ToolRunState* job_ = nullptr;
    std::thread thread_;
};

}  // namespace pcn
