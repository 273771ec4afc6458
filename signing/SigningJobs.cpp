#include "signing/SigningJobs.h"

#include <chrono>

#include "platform/SettingsStore.h"
#include "signing/CommandTemplate.h"

namespace pcn {
namespace {

ToolCommand commandFromTemplate(std::string_view tool, std::string_view templateText, const TokenValues& values) {
    return ToolCommand{toolPath(tool), templateArguments(templateText, values)};
}

// The file as the tools' argument: a name that begins with "-" would be
// taken for an option, so it is given as a path in the current folder.
std::string fileArgument(const std::string& file) { return file.starts_with('-') ? "./" + file : file; }

void status(ToolRunState& job, std::string_view text) {
    if (job.host) job.host->setStatus(text);
}

// Appends a text to the job's output field and shows it.
void report(ToolRunState& job, std::string_view text) {
    job.output += text;
    if (job.host) job.host->appendOutput(text);
}

void finish(ToolRunState& job, bool success) {
    if (job.host) job.host->finished(success);
}

}  // namespace

CSignCodeInfo::CSignCodeInfo(SettingsStore* settings) : settings_(settings ? settings : &SettingsStore::user()) {}

TokenValues CSignCodeInfo::tokenValues() const {
    return TokenValues{credentials, key, name, information, md5, fileArgument(file)};
}

bool CSignCodeInfo::BuildSignCommand() {
    std::string t = signTemplate ? *signTemplate
                                 : settings_->readString(codesign::kSection, codesign::kSignCodeCommand,
                                                         codesign::kDefaultSignCodeCommand);
    signCommand = commandFromTemplate(kSignCodeTool, t, tokenValues());
    return true;
}

std::string CSignCodeInfo::TimeStampTemplate() const {
    return timeStampTemplate ? *timeStampTemplate
                             : settings_->readString(codesign::kSection, codesign::kTimeStampCommand,
                                                     codesign::kDefaultTimeStampCommand);
}

bool CSignCodeInfo::BuildTimeStampCommand() {
    if (timeStampServer) {
        // The address is never read as template text: a '"' or '@' in it
        // stays part of it.
        std::vector<std::string> arguments{"-tr", "10", "-tw", "2", "-x", "-t", *timeStampServer, fileArgument(file)};
        timeStampCommand = ToolCommand{toolPath(kSignCodeTool), std::move(arguments)};
        return true;
    }
    timeStampCommand = commandFromTemplate(kSignCodeTool, TimeStampTemplate(), tokenValues());
    return true;
}

bool CSignCodeInfo::BuildTrustCommand() {
    std::vector<std::string> arguments;
    if (!showTrustDialog) arguments.push_back("-q");
    arguments.push_back(fileArgument(file));
    trustCommand = ToolCommand{toolPath(kChkTrustTool), std::move(arguments)};
    return true;
}

bool CSignCodeInfo::RunSignCode() { return BuildSignCommand() && runTool(ToolRun::Sign, signCommand, *this); }

bool CSignCodeInfo::RunTimeStamp() {
    return BuildTimeStampCommand() && runTool(ToolRun::TimeStamp, timeStampCommand, *this);
}

bool CSignCodeInfo::RunTrustAfterSigning() {
    return BuildTrustCommand() && runTool(ToolRun::TrustAfterSigning, trustCommand, *this);
}

bool CCheckTrustInfo::BuildQuietCommand() {
    command = ToolCommand{toolPath(kChkTrustTool), {"-q", fileArgument(file)}};
    return true;
}

bool CCheckTrustInfo::BuildDisplayCommand() {
    command = ToolCommand{toolPath(kChkTrustTool), {fileArgument(file)}};
    return true;
}

bool CCheckTrustInfo::RunQuietCheck() {
    return BuildQuietCommand() && runTool(ToolRun::QuietTrustCheck, command, *this);
}

bool CCheckTrustInfo::RunCheckWithUI() {
    return BuildDisplayCommand() && runTool(ToolRun::TrustCheckWithUI, command, *this);
}

bool runSigningWorker(CSignCodeInfo& job) {
    bool signedOk = job.RunSignCode();
    if (signedOk) {
        if (job.timeStamp && !job.stopRequested()) {
            status(job, "Setting Timestamp......");
            job.timeStampFailed = !job.RunTimeStamp();
            if (job.timeStampFailed) report(job, "Timestamp could not be set.");
        }
        if (job.checkTrust && !job.stopRequested()) {
            status(job, "Checking Trust......");
            if (!job.RunTrustAfterSigning()) report(job, "Check Trust failed.");
        }
        status(job, "Complete");
        finish(job, true);
        return true;
    }
    status(job, "Failed to Sign Code.");
    if (job.output.empty())
        report(job, "\r\nSign Code Failed.\r\nSignCode Process Exit Code [" + formatExitCode(job.exitCode) + "]");
    finish(job, false);
    return false;
}

bool runTrustCheckWorker(CCheckTrustInfo& job) {
    status(job, "Checking Trust......");
    bool quiet = job.RunQuietCheck();
    // Whether the tool itself said anything: the worker's own lines below
    // go into the output field too, and must not hide the exit-code note.
    bool toolPrinted = !job.output.empty();
    // A file without a signature has nothing anyone could accept or decline.
    const bool nothingToTrust = !quiet && job.exitCode == kChkTrustNotSigned;
    if (!quiet) report(job, "Failed to Check Trust.");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (job.displayUI && !nothingToTrust && !job.stopRequested()) {
        report(job, "");
        const std::string before = job.output;
        bool shown = job.RunCheckWithUI();
        toolPrinted = toolPrinted || job.output != before;
        if (quiet && shown) report(job, "User selected to accept Trust.");
        if (!quiet && shown) report(job, "User selected to accept Unverified Trust.");
        if (quiet && !shown) report(job, "User selected to decline Trust.");
        // A signature the user turned down is in the record as well as one taken.
        if (!quiet && !shown) report(job, "User selected to decline Unverified Trust.");
    }
    if (quiet) {
        status(job, "Complete");
        finish(job, true);
        return true;
    }
    status(job, "Trust could not be verified.");
    if (!toolPrinted)
        report(job, "\r\nCheck Trust Failed.\r\nChkTrust Process Exit Code [" + formatExitCode(job.exitCode) + "]");
    finish(job, false);
    return false;
}

ToolWorker::~ToolWorker() {
    cancel();
    join();
}

void ToolWorker::start(ToolRunState& job, std::function<void()> work) {
    join();
    job_ = &job;
    thread_ = std::thread(std::move(work));
}

void ToolWorker::cancel() {
    if (job_ && thread_.joinable()) job_->cancel();
}

void ToolWorker::join() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace pcn
