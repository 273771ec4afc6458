#pragma once
// The build driver: turns one package into its output files on a worker
// thread - file list, INF, configuration file, cabinets, self-extractor,
// signatures - in the order each kind needs, reports to its host while it
// runs, and writes the outcome into the package. One build runs at a time.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "build/BuildHost.h"
#include "distribution/UserInterface.h"

namespace pcn {

class CCabObj;
class SettingsStore;

// Texts of the build's step line and outcome.
inline constexpr const char* kBuildComplete = "Build Complete.";
inline constexpr const char* kBuildFailed = "Failed to build project?";
inline constexpr const char* kMissingSourceFiles =
    "Some or all project source files are missing.\n\nDo You want to Continue?";

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


private:
    bool collectFiles();
    bool writeInf();
    bool checkSourcesPresent();
    bool cabinetStep(const char* title);
    bool buildByKind();
    void sign();
    bool finish(bool success);
    bool endAtOnce();

    CCabObj& package_;
    BuildHost& host_;
    UserInterface& ui_;
    SettingsStore& settings_;
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

private:
    std::thread thread_;
    std::atomic<int> running_{0};
    BuildHost* host_ = nullptr;
};

}  // namespace pcn
