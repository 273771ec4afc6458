#include "signing/BuildSigning.h"

#include "building/BuildHost.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"
#include "signing/SigningJobs.h"
#include "signing/TimeStampServer.h"

namespace pcn {
namespace {

// Asks until the file exists (true) or the user gives up (false).
bool fileFoundOrCancelled(UserInterface& ui, const std::string& path, const std::string& text) {
    while (!fileExists(path)) {
        if (ui.message(text + "\n" + path, "Parcelon", Icon::Error, Buttons::RetryCancel, Answer::Retry) != Answer::Retry)
            return false;
    }
    return true;
}

// Shows a signing job's texts on a build's step line.
class BuildStepToolHost : public ToolHost {
public:
    explicit BuildStepToolHost(BuildHost& host) : host_(host) {}
    void setStatus(std::string_view text) override { host_.showStep(text); }
    // The build page has no output box: only the tools' failure lines are worth its step line.
    void appendOutput(std::string_view text) override {
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find('\n', at);
            std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
            if (line.substr(0, 6) == "Error:") host_.showStep(line);
            at = end == std::string_view::npos ? text.size() : end + 1;
        }
    }
    void finished(bool) override {}

private:
    BuildHost& host_;
};

// The server a failed time stamp came from, for the warning.
std::string serverOf(const CSignCodeInfo& job) {
    const std::string t = job.TimeStampTemplate();
    if (auto server = timeStampServerOf(t)) return server->url;
    return "of the time-stamp command \"" + t + "\"";
}

void warnUnstamped(UserInterface& ui, const CSignCodeInfo& job, BuildSigningResult& result) {
    result.timeStampServer = serverOf(job);
    std::string text = "The time stamp server " + result.timeStampServer +
                       " did not set a time stamp.\n\nThese files are signed, but without a time stamp:";
    for (const auto& file : result.unstampedFiles) text += "\n" + file;
    ui.message(text, "Parcelon", Icon::Warning, Buttons::Ok, Answer::Ok);
}

}  // namespace

BuildSigningResult signBuildOutput(const CCabObj& package, UserInterface& ui, BuildHost& host,
                                   SettingsStore* settings) {
    BuildStepToolHost toolHost(host);
    return signBuildOutput(package, ui, &toolHost, settings, &host.abortRequested);
}

bool keyLooksLikePath(const std::string& key) {
    return key.find(':') != std::string::npos || key.find("\\\\") != std::string::npos ||
           key.find('/') != std::string::npos;
}

BuildSigningResult signBuildOutput(const CCabObj& package, UserInterface& ui, ToolHost* host,
                                   SettingsStore* settings, const std::atomic<int>* abortRequested) {
    BuildSigningResult result;
    if (!fileFoundOrCancelled(ui, package.m_strSignCredentials,
                              "Unable to find your Software Publishing Credentials file.") ||
        (keyLooksLikePath(package.m_strSignKey) &&
         !fileFoundOrCancelled(ui, package.m_strSignKey, "Unable to find your Private Key file."))) {
        result.skipped = true;
        return result;
    }

    if (host) host->setStatus("Signing the output file(s)......");
    CSignCodeInfo job(settings);
    job.host = host;
    job.stop.watch(abortRequested);
    job.information = package.m_strSignInfo;
    job.name = package.m_strProduct;
    job.credentials = package.m_strSignCredentials;
    job.key = package.m_strSignKey;
    job.md5 = package.m_bMD5;
    job.timeStamp = package.m_bTimeStamp;

    const std::string folder = withTrailingSeparator(package.m_strTargetFolder);
    for (const auto& name : package.m_arrOutputFiles) {
        if (job.stopRequested()) break;
        job.file = folder + name;
        if (!job.RunSignCode()) {
            result.failedFiles.push_back(job.file);
            continue;
        }
        result.signedFiles.push_back(job.file);
        if (!job.timeStamp || job.stopRequested()) continue;
        if (host) host->setStatus("Setting Timestamp......");
        bool stamped = job.RunTimeStamp();
        if (host) host->setStatus(stamped ? "Timestamp successfully set." : "Timestamp set failed.");
        if (!stamped) result.unstampedFiles.push_back(job.file);
    }
    if (!result.unstampedFiles.empty()) warnUnstamped(ui, job, result);
    return result;
}

}  // namespace pcn
