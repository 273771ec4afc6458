#include "signing/BuildSigning.h"

#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"
#include "signing/SigningJobs.h"

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

}  // namespace

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
    return result;
}

}  // namespace pcn
