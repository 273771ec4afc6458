#pragma once
// The build driver: turns one package into its output files on a worker
// thread - file list, INF, configuration file, cabinets, self-extractor,
// signatures - in the order each kind needs, reports to its host while it
// runs, and writes the outcome into the package. One build runs at a time.

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "building/BuildHost.h"
#include "distribution/UserInterface.h"

namespace pcn {

class CCabObj;
class SettingsStore;

// Texts of the build's step line and outcome.
inline constexpr const char* kBuildComplete = "Build Complete.";
inline constexpr const char* kBuildFailed = "Failed to build project.";
inline constexpr const char* kNoFiles = "The package has no files.";
inline constexpr const char* kMissingSourceFiles =
    "Some or all project source files are missing.\n\nDo You want to Continue?";

// How a build ended. A build whose outputs are complete but whose signing or
// time stamp failed (or was skipped at a credentials or key question) is not
// a plain success: its outputs must not be shipped as signed.
enum class BuildOutcome {
    Complete,           // every output written and, when asked for, signed and time-stamped
    SigningIncomplete,  // every output written; signing or time stamping failed or was skipped
    Failed,             // the package could not be built
};

// The build's steps, in order; the driver itself (run) is the worker's body.
class BuildDriver {
public:
    // settings: where the stub choice and the signing templates are read
    // (null: the user's store).
    BuildDriver(CCabObj& package, BuildHost& host, UserInterface& ui, SettingsStore* settings = nullptr);

    // Builds the package on the calling thread; true on success. The end
    // bookkeeping (build time, rebuild and new-package flags, the step line)
    // is done here except when the target folder cannot be made or the
    // cabinet writer fails, which end the build at once.
    bool run();
    // After run(): how the build ended.
    BuildOutcome outcome() const { return outcome_; }

private:
    bool collectFiles();
    bool hasFiles();
    bool namesAreSafe();
    bool writeInf();
    bool checkSourcesPresent();
    bool cabinetStep(const char* title);
    bool buildByKind();
    void sign();
    bool finish(bool success);
    bool endAtOnce();
    void settleFailedBuild();
    void keepPreviousInf();
    void restorePreviousInf();

    struct KeptFile {
        std::string path;
        std::optional<std::string> bytes;  // none: there was no file
    };

    CCabObj& package_;
    BuildHost& host_;
    UserInterface& ui_;
    SettingsStore& settings_;
    BuildOutcome outcome_ = BuildOutcome::Failed;
    std::vector<std::string> previousOutputs_;  // the output list of the last build
    bool cabinetsPlaced_ = false;               // this build's cabinets are in the target folder
    bool configWritten_ = false;                // pcn.cfg lies in the target folder
    bool signingIncomplete_ = false;
    std::vector<KeptFile> previousInfs_;  // filled when this build writes the INF
};

// A build on its own worker thread, as the build page and the rebuild dialog
// start it. Only one runs in the process at a time. The end callback runs
// on the worker thread after the package has been updated; the host hands it
// over to its own thread. Destroying a running build cancels it and waits,
// so the worker never reports into a host that is gone.
class BuildWorker {
public:
    using EndCallback = std::function<void(bool success)>;

    ~BuildWorker();

    // False when another build runs (nothing is started then).
    bool start(CCabObj& package, BuildHost& host, UserInterface& ui, EndCallback onEnd,
               SettingsStore* settings = nullptr);
    // Asks the running build to stop before its next file.
    void cancel();
    // Waits for the worker to end.
    void wait();
    bool running() const { return running_.load() != 0; }
    // How the last build ended; read once it is no longer running.
    BuildOutcome outcome() const { return outcome_.load(); }

private:
    std::thread thread_;
    std::atomic<int> running_{0};
    std::atomic<BuildOutcome> outcome_{BuildOutcome::Failed};
    BuildHost* host_ = nullptr;
};

}  // namespace pcn
