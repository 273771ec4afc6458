// parcelon build: build the packages of a project, or one package file,
// with a live progress line, answering the build's questions from --yes /
// --no or on the terminal. Ctrl-C cancels the running build cleanly.

#include <algorithm>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <memory>
#include <mutex>

#include "app/core/CPCNDoc.h"
#include "building/BuildDriver.h"
#include "cli/Command.h"
#include "cli/Progress.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"
#include "web/WebInf.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) { interrupted = 1; }

// The command line's build host: one progress line on stderr.
class TerminalBuildHost : public pcn::BuildHost {
public:
    explicit TerminalBuildHost(std::string label) : bar_(std::move(label)) {}

    void showStep(std::string_view text) override {
        std::lock_guard lock(mutex_);
        step_ = std::string(text);
        redraw();
    }
    void showPhase(std::string_view) override {}
    void showCurrentFile(std::string_view path) override {
        std::lock_guard lock(mutex_);
        step_ = pcn::fileNamePart(path);
        redraw();
    }
    void showProgress(const pcn::BuildProgress& p) override {
        std::lock_guard lock(mutex_);
        progress_ = p;
        redraw();
    }
    void done() { bar_.finish(detail()); }

private:
    std::string detail() const {
        return pcn::cli::groupDigits(progress_.processedBytes) + " -> " +
               pcn::cli::groupDigits(progress_.compressedBytes) + " bytes (" +
               std::to_string(progress_.savingPercent()) + "% saved) " + step_;
    }
    void redraw() { bar_.update(static_cast<int>(progress_.percent), detail()); }

    std::mutex mutex_;
    pcn::cli::ProgressBar bar_;
    pcn::BuildProgress progress_;
    std::string step_;
};

struct BuildArgs {
    std::string file;
    std::vector<std::string> packages;
};

bool selected(const pcn::CCabObj& p, const std::vector<std::string>& names) {
    if (names.empty()) return true;
    for (const auto& n : names)
        if (n == p.m_strProduct || n == p.m_strProjectName || n == pcn::fileNamePart(p.m_strPackageFile))
            return true;
    return false;
}

using pcn::BuildOutcome;

// The exit code for the outcomes of every package built: any failure wins
// over missing signatures.
int exitCodeFor(const std::vector<BuildOutcome>& outcomes) {
    auto any = [&](BuildOutcome o) { return std::find(outcomes.begin(), outcomes.end(), o) != outcomes.end(); };
    if (any(BuildOutcome::Failed)) return pcn::cli::kExitFailed;
    if (any(BuildOutcome::SigningIncomplete)) return pcn::cli::kExitSigningIncomplete;
    return 0;
}

// A web package's build writes its INF and HTML page, as finishing the web
// wizard does.
BuildOutcome writeWebPackage(const pcn::CCabObj& package, pcn::UserInterface& ui) {
    if (!pcn::WriteWebPackageFiles(package, ui)) {
        std::fprintf(stderr, "%s: %s\n", package.m_strProduct.c_str(), pcn::kBuildFailed);
        return BuildOutcome::Failed;
    }
    std::printf("%s\n", pcn::WebInfFilePath(package).c_str());
    if (package.m_pWeb->m_bHtmTemplate) std::printf("%s\n", pcn::WebHtmlFilePath(package).c_str());
    return BuildOutcome::Complete;
}

// Builds one package on a worker so that Ctrl-C can cancel it, saves it
// back to its file and lists its outputs. A package whose file cannot be
// saved counts as failed: its build results would be lost.
BuildOutcome buildPackage(pcn::CCabObj& package, pcn::UserInterface& ui) {
    if (package.IsWebPackage()) return writeWebPackage(package, ui);
    TerminalBuildHost host(package.m_strProduct);
    pcn::BuildWorker worker;
    bool success = false;
    if (!worker.start(package, host, ui, [&](bool ok) { success = ok; })) {
        std::fprintf(stderr, "error: another build is running\n");
        return BuildOutcome::Failed;
    }
    while (worker.running()) {
        if (interrupted) worker.cancel();
        struct timespec pause {0, 50 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    worker.wait();
    host.done();

    int error = 0;
    const bool saved = pcn::SavePackage(package, &error);
    if (!saved)
        std::fprintf(stderr, "error: cannot save %s: %s\n", package.m_strPackageFile.c_str(), std::strerror(error));
    if (!success) {
        std::fprintf(stderr, "%s: %s\n", package.m_strProduct.c_str(), pcn::kBuildFailed);
        return BuildOutcome::Failed;
    }
    for (const auto& out : package.m_arrOutputFiles) std::printf("%s%s\n", package.m_strBuildFolder.c_str(), out.c_str());
    if (!saved) return BuildOutcome::Failed;
    if (worker.outcome() == BuildOutcome::SigningIncomplete)
        std::fprintf(stderr, "%s: the output is complete, but not every file was signed and time-stamped\n",
                     package.m_strProduct.c_str());
    return worker.outcome();
}

// The project's package files that could not be loaded (damaged, missing
// or unreadable): the document keeps their paths but has no package for them.
std::vector<std::string> packagesNotLoaded(const pcn::CPCNDoc& doc) {
    std::vector<std::string> missing;
    for (const std::string& path : doc.m_arrPackageFiles) {
        auto loaded = [&](const auto& p) { return p->m_strPackageFile == path; };
        if (std::none_of(doc.m_listPackages.begin(), doc.m_listPackages.end(), loaded)) missing.push_back(path);
    }
    return missing;
}

int buildProject(const BuildArgs& a, pcn::cli::Context& ctx) {
    pcn::CPCNDoc doc(&ctx.ui());
    // Missing package files are reported as not loaded; the rest is built.
    doc.SetMissingFileReconciler([](std::vector<std::string>&) { return pcn::Answer::Ok; });
    if (!doc.OnOpenDocument(a.file)) return 1;
    std::vector<BuildOutcome> outcomes;
    // A package that is not there is a package not built.
    for (const std::string& path : packagesNotLoaded(doc)) {
        std::fprintf(stderr, "error: package not loaded, so not built: %s\n", path.c_str());
        outcomes.push_back(BuildOutcome::Failed);
    }
    int matched = 0;
    for (const auto& p : doc.m_listPackages) {
        if (!selected(*p, a.packages)) continue;
        ++matched;
        if (p->m_bNotLoaded) {
            std::fprintf(stderr, "%s: not loaded, not built\n", p->m_strPackageFile.c_str());
            outcomes.push_back(BuildOutcome::Failed);
            continue;
        }
        outcomes.push_back(buildPackage(*p, ctx.ui()));
        if (interrupted) break;
    }
    if (matched == 0) return pcn::cli::fail("no package of the project matches --package");
    return exitCodeFor(outcomes);
}

int runBuild(const BuildArgs& a, pcn::cli::Context& ctx) {
    interrupted = 0;
    std::signal(SIGINT, onInterrupt);
    if (a.file.ends_with(".pcn")) return buildProject(a, ctx);
    std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(a.file);
    if (!package) return pcn::cli::kExitFailed;
    return exitCodeFor({buildPackage(*package, ctx.ui())});
}

void setupBuild(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<BuildArgs>();
    auto* cmd = app.add_subcommand("build", "Build a package (.pcp) or the packages of a project (.pcn)");
    cmd->add_option("FILE", args->file, "Project (.pcn) or package (.pcp) file")->required();
    cmd->add_option("--package", args->packages, "Build only this package of the project (product, project or file name)");
    cmd->callback([args, &ctx] { ctx.exitCode = runBuild(*args, ctx); });
}

}  // namespace

PCN_CLI_COMMAND("build", setupBuild);
