// parcelon verify: checks built packages (or the files given) as Windows
// will meet them, one line per check, and exits as a build does: 0 when every
// check holds, 1 when any fails, 3 when only signatures are missing.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/core/CPCNDoc.h"
#include "cli/Command.h"
#include "cli/Interrupt.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "cli/Progress.h"
#include "cli/Usage.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "verifying/CheckReport.h"
#include "verifying/Verifier.h"

namespace {

using namespace pcn::verifying;

struct VerifyArgs {
    std::vector<std::string> files;
    bool againstSource = false;
};

const char* verdictName(Verdict v) {
    return v == Verdict::Holds ? "holds" : v == Verdict::Fails ? "fails" : "unsigned";
}

// {"exitCode", "summary", "checks": [{"verdict", "subject", "text"}]}
void printJson(const CheckReport& report) {
    pcn::cli::JsonWriter json;
    json.beginObject().field("exitCode", report.exitCode()).field("summary", report.summary());
    json.key("checks").beginArray();
    for (const Check& check : report.checks())
        json.beginObject()
            .field("verdict", verdictName(check.verdict))
            .field("subject", check.subject)
            .field("text", check.text)
            .endObject();
    json.endArray().endObject().print();
}

// A project's packages; one that cannot be loaded fails its check.
void verifyProject(const std::string& file, Verifier& verifier, CheckReport& report, pcn::cli::Context& ctx) {
    pcn::CPCNDoc doc(&ctx.ui());
    doc.SetMissingFileReconciler([](std::vector<std::string>&) { return pcn::Answer::Ok; });
    if (!doc.OnOpenDocument(file)) {
        report.fails(file, "the project cannot be opened");
        return;
    }
    for (const std::string& path : doc.m_arrPackageFiles) {
        bool loaded = false;
        for (const auto& p : doc.m_listPackages) loaded = loaded || (p->m_strPackageFile == path && !p->m_bNotLoaded);
        if (!loaded) report.fails(path, "the package file cannot be loaded, so its outputs are not checked");
    }
    for (const auto& p : doc.m_listPackages)
        if (!p->m_bNotLoaded && !verifier.cancelled()) verifier.verifyPackage(*p);
}

void verifyArgument(const std::string& file, Verifier& verifier, CheckReport& report, pcn::cli::Context& ctx) {
    if (file.ends_with(".pcn")) {
        verifyProject(file, verifier, report, ctx);
    } else if (file.ends_with(".pcp")) {
        std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(file);
        if (package) verifier.verifyPackage(*package);
        else report.fails(file, "the package file cannot be loaded");
    } else {
        verifier.verifyFile(file);
    }
}

int runVerify(const VerifyArgs& a, pcn::cli::Context& ctx) {
    const bool json = pcn::cli::output().json;
    // Each line goes out as its check ends, so a long run shows where it is.
    CheckReport report([json](const Check& check) {
        if (json) return;
        std::printf("%s\n", checkLine(check).c_str());
        std::fflush(stdout);
    });
    pcn::cli::InterruptGuard interrupt;
    auto bar = std::make_unique<pcn::cli::ProgressBar>("Verifying");
    int lastPercent = -1;
    VerifyOptions options;
    options.againstSource = a.againstSource;
    options.progress = [&](uint64_t done, uint64_t total, const std::string& name) {
        const int percent = total ? static_cast<int>(done * 100 / total) : 100;
        if (percent != lastPercent) bar->update(lastPercent = percent, printable(name));
        return !pcn::cli::interruptRequested();
    };
    Verifier verifier(report, pcn::SettingsStore::user(), options);
    for (const std::string& file : a.files) {
        if (verifier.cancelled() || pcn::cli::interruptRequested()) break;
        verifyArgument(file, verifier, report, ctx);
    }
    bar.reset();
    if (verifier.cancelled() || pcn::cli::interruptRequested()) return pcn::cli::cancelled();
    if (json) printJson(report);
    else std::printf("%s\n", report.summary().c_str());
    return report.exitCode();
}

void setupVerify(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<VerifyArgs>();
    auto* cmd = app.add_subcommand(
        "verify", "Check built packages (.pcp), a project's packages (.pcn) or cabinets and self-extractors");
    cmd->add_option("FILE", args->files, "Package, project, cabinet or executable")->required();
    cmd->add_flag("--against-source", args->againstSource,
                  "Also compare every stored file with its source, byte for byte");
    pcn::cli::addJsonFlag(*cmd);
    pcn::cli::addExamples(*cmd, {"parcelon verify Release.pcn", "parcelon verify Tools.pcp --against-source",
                                 "parcelon verify out/Tools/ToolsW.EXE --json"});
    cmd->callback([args, &ctx] { ctx.exitCode = runVerify(*args, ctx); });
}

}  // namespace

PCN_CLI_COMMAND("verify", setupVerify);
