// parcelon build: build the packages of a project, or one package file,
// with a live progress line, answering the build's questions from --yes /
// --no or on the terminal. Ctrl-C cancels the running build cleanly (exit
// 130). The outputs are listed on stdout once every package has been built.

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "app/core/CPCNDoc.h"
#include "building/BuildDriver.h"
#include "cli/Command.h"
#include "cli/Interrupt.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "cli/Progress.h"
#include "cli/Usage.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"
#include "signing/SignaturePresence.h"
#include "web/WebInf.h"

namespace {

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

// What --json reports of each package: its outcome and the files it wrote.
struct BuiltPackage {
    std::string name, file;
    const char* outcome = "failed";
    std::vector<std::string> outputs;
};

void printJson(const std::vector<BuiltPackage>& built, int exitCode) {
    pcn::cli::JsonWriter json;
    json.beginObject().field("exitCode", exitCode).key("packages").beginArray();
    for (const BuiltPackage& package : built) {
        json.beginObject().field("name", package.name).field("file", package.file).field("outcome", package.outcome);
        json.key("outputs").beginArray();
        for (const std::string& path : package.outputs) {
            std::error_code error;
            const auto size = std::filesystem::file_size(path, error);
            json.beginObject().field("path", path).field("size", uint64_t(error ? 0 : size));
            json.field("signed", pcn::carriesSignature(path)).endObject();
        }
        json.endArray().endObject();
    }
    json.endArray().endObject().print();
}

const char* outcomeName(pcn::BuildOutcome outcome) {
    switch (outcome) {
        case pcn::BuildOutcome::Complete: return "complete";
        case pcn::BuildOutcome::SigningIncomplete: return "signing incomplete";
        case pcn::BuildOutcome::Failed: break;
    }
    return "failed";
}

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
BuildOutcome writeWebPackage(const pcn::CCabObj& package, pcn::UserInterface& ui, BuiltPackage& built) {
    if (!pcn::WriteWebPackageFiles(package, ui)) {
        std::fprintf(stderr, "%s: %s\n", package.m_strProduct.c_str(), pcn::kBuildFailed);
        return BuildOutcome::Failed;
    }
    built.outputs.push_back(pcn::WebInfFilePath(package));
    if (package.m_pWeb->m_bHtmTemplate) built.outputs.push_back(pcn::WebHtmlFilePath(package));
    return BuildOutcome::Complete;
}

// Builds one package on a worker so that Ctrl-C can cancel it, saves it
// back to its file and notes its outputs. A package whose file cannot be
// saved counts as failed: its build results would be lost.
BuildOutcome buildPackage(pcn::CCabObj& package, pcn::UserInterface& ui, BuiltPackage& built) {
    built.name = package.m_strProduct;
    built.file = package.m_strPackageFile;
    if (package.IsWebPackage()) return writeWebPackage(package, ui, built);
    TerminalBuildHost host(package.m_strProduct);
    pcn::BuildWorker worker;
    bool success = false;
    if (!worker.start(package, host, ui, [&](bool ok) { success = ok; })) {
        std::fprintf(stderr, "error: another build is running\n");
        return BuildOutcome::Failed;
    }
    while (worker.running()) {
        if (pcn::cli::interruptRequested()) worker.cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
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
    for (const auto& out : package.m_arrOutputFiles) built.outputs.push_back(package.m_strBuildFolder + out);
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

// Each --package must name a package of the project: a mistyped name must
// not quietly build nothing, nor everything.
bool everyNameMatches(const pcn::CPCNDoc& doc, const std::vector<std::string>& names) {
    bool all = true;
    for (const std::string& name : names) {
        auto named = [&](const auto& p) { return selected(*p, {name}); };
        if (std::none_of(doc.m_listPackages.begin(), doc.m_listPackages.end(), named)) {
            pcn::cli::fail("no package named " + name + " in " + doc.GetPathName());
            all = false;
        }
    }
    return all;
}

int buildProject(const BuildArgs& a, pcn::cli::Context& ctx, std::vector<BuiltPackage>& built) {
    pcn::CPCNDoc doc(&ctx.ui());
    // Missing package files are reported as not loaded; the rest is built.
    doc.SetMissingFileReconciler([](std::vector<std::string>&) { return pcn::Answer::Ok; });
    if (!doc.OnOpenDocument(a.file)) return 1;
    if (!everyNameMatches(doc, a.packages)) return pcn::cli::kExitFailed;
    std::vector<BuildOutcome> outcomes;
    // A package that is not there is a package not built.
    for (const std::string& path : packagesNotLoaded(doc)) {
        std::fprintf(stderr, "error: package not loaded, so not built: %s\n", path.c_str());
        outcomes.push_back(BuildOutcome::Failed);
        built.push_back({path, path, "not loaded", {}});
    }
    for (const auto& p : doc.m_listPackages) {
        if (!selected(*p, a.packages)) continue;
        if (p->m_bNotLoaded) {
            std::fprintf(stderr, "%s: not loaded, not built\n", p->m_strPackageFile.c_str());
            outcomes.push_back(BuildOutcome::Failed);
            built.push_back({p->m_strProduct, p->m_strPackageFile, "not loaded", {}});
            continue;
        }
        built.emplace_back();
        outcomes.push_back(buildPackage(*p, ctx.ui(), built.back()));
        built.back().outcome = outcomeName(outcomes.back());
        if (pcn::cli::interruptRequested()) break;
    }
    return exitCodeFor(outcomes);
}

int runBuild(const BuildArgs& a, pcn::cli::Context& ctx) {
    pcn::cli::InterruptGuard interrupt;
    std::vector<BuiltPackage> built;
    int exitCode = pcn::cli::kExitFailed;
    if (a.file.ends_with(".pcn")) {
        exitCode = buildProject(a, ctx, built);
    } else if (std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(a.file)) {
        built.emplace_back();
        const BuildOutcome outcome = buildPackage(*package, ctx.ui(), built.back());
        built.back().outcome = outcomeName(outcome);
        exitCode = exitCodeFor({outcome});
    }
    if (pcn::cli::interruptRequested()) {
        for (BuiltPackage& package : built)
            if (package.outputs.empty()) package.outcome = "cancelled";
        exitCode = pcn::cli::kExitCancelled;
    }
    if (pcn::cli::output().json) {
        printJson(built, exitCode);
    } else {
        for (const BuiltPackage& package : built)
            for (const std::string& path : package.outputs) std::printf("%s\n", path.c_str());
    }
    return exitCode == pcn::cli::kExitCancelled ? pcn::cli::cancelled() : exitCode;
}

void setupBuild(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<BuildArgs>();
    auto* cmd = app.add_subcommand("build", "Build a package (.pcp) or the packages of a project (.pcn)");
    cmd->add_option("FILE", args->file, "Project (.pcn) or package (.pcp) file")->required();
    cmd->add_option("--package", args->packages,
                    "Build only this package of the project (product, project or file name); may be repeated");
    pcn::cli::addJsonFlag(*cmd);
    pcn::cli::addExamples(*cmd, {"parcelon build Release.pcn",
                                 "parcelon build Release.pcn --package Tools --yes --json",
                                 "parcelon build Tools.pcp --progress=never -q"});
    cmd->callback([args, &ctx] { ctx.exitCode = runBuild(*args, ctx); });
}

}  // namespace

PCN_CLI_COMMAND("build", setupBuild);
