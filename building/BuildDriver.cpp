#include "building/BuildDriver.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "building/BuildSupport.h"
#include "building/CabInfWriter.h"
#include "building/CabinetWriter.h"
#include "building/ConfigFile.h"
#include "building/SafeNames.h"
#include "building/SelfExtractor.h"
#include "building/StoredNames.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "signing/BuildSigning.h"
#include "signing/CabinetSignatureLayout.h"

namespace pcn {
namespace {

constexpr const char* kCabinetTitle = "Building Cabinet Files";
constexpr const char* kSelfExtractorTitle = "Building Self Extraction Cabinet Files";

// Process-wide: one build at a time.
std::atomic<bool> buildInProgress{false};

// Signing reports its status lines into the build's step line.
class SigningStatus : public ToolHost {
public:
    explicit SigningStatus(BuildHost& host) : host_(host) {}
    void setStatus(std::string_view text) override { host_.showStep(text); }
    void appendOutput(std::string_view) override {}
    void finished(bool) override {}

private:
    BuildHost& host_;
};

bool sourceFileExists(const std::string& path, int64_t& size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    size = st.st_size;
    return true;
}

}  // namespace

BuildDriver::BuildDriver(CCabObj& package, BuildHost& host, UserInterface& ui, SettingsStore* settings)
    : package_(package), host_(host), ui_(ui), settings_(settings ? *settings : SettingsStore::user()) {}

bool BuildDriver::collectFiles() {
    package_.m_arrBuildFiles.clear();
    host_.showStep("Retrieving File information...");
    for (int i = 0; i < package_.GetFileCount(); ++i) package_.m_arrBuildFiles.push_back(package_.GetFilePath(i));
    previousOutputs_ = std::move(package_.m_arrOutputFiles);
    package_.m_arrOutputFiles.clear();
    return true;
}

// An empty package would be a cabinet no extractor opens.
bool BuildDriver::hasFiles() {
    if (package_.GetFileCount() > 0) return true;
    ui_.message(kNoFiles, "Error", Icon::Error, Buttons::Ok, Answer::Ok);
    return false;
}

// Checked before anything is written, so that a package no Windows
// extractor could install, or one whose files would overwrite each other
// when extracted, is never shipped.
bool BuildDriver::namesAreSafe() {
    std::vector<UnsafeName> unsafe = FindUnsafeNames(package_);
    if (!unsafe.empty()) {
        ui_.message(UnsafeNamesMessage(unsafe), "Error", Icon::Error, Buttons::Ok, Answer::Ok);
        return false;
    }
    std::vector<NameCollision> collisions = FindNameCollisions(PlannedCabinetEntries(package_));
    if (collisions.empty()) return true;
    ui_.message(NameCollisionsMessage(collisions, kPackageCollisionRemedy), "Error", Icon::Error, Buttons::Ok,
                Answer::Ok);
    return false;
}

bool BuildDriver::writeInf() {
    if (!package_.m_bCreateInf) return true;
    host_.showStep("Creating Cabinet Information File...");
    keepPreviousInf();
    // An INF that cannot be written has been reported; the cabinets are still worth building.
    WriteCabInfForBuild(package_, ui_);
    return true;
}

bool BuildDriver::checkSourcesPresent() {
    int64_t total = 0;
    bool missing = false;
    for (const std::string& path : package_.m_arrBuildFiles) {
        int64_t size = 0;
        if (sourceFileExists(path, size))
            total += size;
        else
            missing = true;
    }
    package_.m_nSourceSize = static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
    if (!missing) return true;
    return ui_.message(kMissingSourceFiles, "Information", Icon::Question, Buttons::YesNo, Answer::No) ==
           Answer::Yes;
}

bool BuildDriver::cabinetStep(const char* title) {
    host_.showPhase(title);
    uint32_t limit = buildCabinetSizeLimit(package_);
    package_.m_arrOutputFiles.clear();
    package_.m_strTargetFolder = withTrailingSeparator(package_.m_strTargetFolder);
    package_.m_strBuildFolder = package_.m_strTargetFolder;
    if (CreateOutputFolder(package_.m_strBuildFolder, ui_).empty()) return false;

    CabinetWriteJob job{package_, host_, ui_, limit, compressionTypeOf(package_),
                        compressionTuningOf(package_, settings_), &settings_};
    cabinetsPlaced_ = writeCabinets(job);
    if (cabinetsPlaced_) return true;
    ui_.message("Unable to complete package creation.\n\nError [" + std::to_string(job.lastError) + "]", "Error",
                Icon::Error, Buttons::Ok, Answer::Ok);
    return false;
}

void BuildDriver::sign() {
    if (!package_.m_bSignature) return;
    SigningStatus status(host_);
    BuildSigningResult result = signBuildOutput(package_, ui_, &status, &settings_, &host_.abortRequested);
    // The continuation cabinets of a signed set cannot carry a signature: the
    // set is whole when every other output is signed. Outputs never tried
    // (the signing was stopped) leave it incomplete too.
    const size_t tried = result.signedFiles.size() + result.failedFiles.size();
    const bool failed = std::any_of(result.failedFiles.begin(), result.failedFiles.end(),
                                    [](const std::string& file) { return !isContinuationCabinetFile(file); });
    if (result.skipped || failed || !result.unstampedFiles.empty() || tried < package_.m_arrOutputFiles.size())
        signingIncomplete_ = true;
}

bool BuildDriver::buildByKind() {
    if (package_.m_bCab) {
        if (!cabinetStep(kCabinetTitle)) return endAtOnce();
        host_.showStep("Building output files....");
        sign();
        return finish(true);
    }
    if (package_.m_bCabSelf) {
        if (!cabinetStep(kSelfExtractorTitle)) return endAtOnce();
        // The cabinets are signed before the first is joined to the extractor.
        sign();
        return finish(JoinStubAndCabinet(package_, ui_, &host_, settings_));
    }
    if (package_.m_bCabWiz) {
        if (!WriteConfigFile(package_, ui_)) return finish(false);
        configWritten_ = true;
        if (!cabinetStep(kSelfExtractorTitle)) return endAtOnce();
        if (!JoinStubAndCabinet(package_, ui_, &host_, settings_)) return finish(false);
        sign();
        return finish(true);
    }
    return finish(true);
}

bool BuildDriver::run() {
    collectFiles();
    if (!hasFiles() || !namesAreSafe()) return finish(false);
    writeInf();
    host_.showStep("Retrieving File information...");
    if (package_.m_bCabWiz && package_.m_bMiniSetup) AddMiniSetup(package_, &host_);
    if (!checkSourcesPresent()) return finish(false);
    return buildByKind();
}

bool BuildDriver::finish(bool success) {
    package_.m_arrBuildFiles.clear();
    package_.m_timeBuilt = std::time(nullptr);
    package_.m_bNewPackage = 0;
    host_.showPhase(" ");
    package_.m_bRebuild = success ? 0 : 1;
    if (!success) settleFailedBuild();
    outcome_ = !success ? BuildOutcome::Failed
               : signingIncomplete_ ? BuildOutcome::SigningIncomplete
                                    : BuildOutcome::Complete;
    host_.showStep(success ? kBuildComplete : kBuildFailed);
    return success;
}

// A target folder that cannot be made or a cabinet writer failure ends the
// build where it stands, without stamping a build time. The package still
// needs a rebuild.
bool BuildDriver::endAtOnce() {
    package_.m_arrBuildFiles.clear();
    package_.m_bRebuild = 1;
    settleFailedBuild();
    outcome_ = BuildOutcome::Failed;
    host_.showStep(kBuildFailed);
    return false;
}

// After a failure the output list names exactly the whole files that are
// there: this build's cabinets once they were moved into place (a failed join
// leaves them), else the last build's outputs, which a failed cabinet step
// leaves untouched. "pcn.cfg" holds the scrambled password and goes as it
// goes after a finished build.
void BuildDriver::settleFailedBuild() {
    if (configWritten_) ::unlink(ConfigFilePath(package_).c_str());
    restorePreviousInf();
    std::vector<std::string> listed = cabinetsPlaced_ ? std::move(package_.m_arrOutputFiles) : previousOutputs_;
    const std::string folder = withTrailingSeparator(package_.m_strTargetFolder);
    package_.m_arrOutputFiles.clear();
    for (std::string& name : listed)
        if (fileExists(folder + name)) package_.m_arrOutputFiles.push_back(std::move(name));
}

// The INF files a build writes (in the target folder and, for a cabinet that
// carries it, in the source folder) as they were before: a build that fails
// puts them back, so that they keep describing the cabinets still there.
void BuildDriver::keepPreviousInf() {
    std::vector<std::string> paths{CabInfFilePath(package_)};
    if (package_.m_bIncludeInf && !package_.m_strSourceFolder.empty())
        paths.push_back(withTrailingSeparator(package_.m_strSourceFolder) + fileNamePart(paths.front()));
    for (std::string& path : paths) {
        std::string bytes;
        int error = 0;
        if (readWholeFile(path, bytes, &error))
            previousInfs_.push_back({std::move(path), std::move(bytes)});
        else if (error == ENOENT)
            previousInfs_.push_back({std::move(path), std::nullopt});
        // A file that cannot be read is left to the writer, which reports it.
    }
}

void BuildDriver::restorePreviousInf() {
    for (const KeptFile& kept : previousInfs_) {
        if (!kept.bytes) {
            ::unlink(kept.path.c_str());
            continue;
        }
        std::string now;
        if (!readWholeFile(kept.path, now) || now != *kept.bytes) writeFileAtomically(kept.path, *kept.bytes);
    }
    previousInfs_.clear();
}

BuildWorker::~BuildWorker() {
    cancel();
    wait();
}

bool BuildWorker::start(CCabObj& package, BuildHost& host, UserInterface& ui, EndCallback onEnd,
                        SettingsStore* settings) {
    bool expected = false;
    if (!buildInProgress.compare_exchange_strong(expected, true)) return false;
    wait();
    host_ = &host;
    host.abortRequested = 0;
    running_ = 1;
    thread_ = std::thread([this, &package, &host, &ui, onEnd = std::move(onEnd), settings] {
        BuildDriver driver(package, host, ui, settings);
        bool ok = driver.run();
        outcome_ = driver.outcome();
        running_ = 0;
        buildInProgress = false;
        if (onEnd) onEnd(ok);
    });
    return true;
}

void BuildWorker::cancel() {
    if (running_ && host_) host_->abortRequested = 1;
}

void BuildWorker::wait() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

}  // namespace pcn
