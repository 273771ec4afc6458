// parcelon verify: checks built packages (or the files given) as Windows
// will meet them, one line per check, and exits 0 when every check holds,
// 1 when any fails, 3 when only signatures are missing.

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/core/CPCNDoc.h"
#include "cli/Command.h"
#include "cli/Progress.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "verifying/CheckReport.h"
#include "verifying/Verifier.h"

namespace {

using namespace pcn::verifying;

volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) { interrupted = 1; }

struct VerifyArgs {
    std::vector<std::string> files;
    bool againstSource = false;
    bool json = false;
};

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", u);
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* verdictName(Verdict v) {
    return v == Verdict::Holds ? "holds" : v == Verdict::Fails ? "fails" : "unsigned";
}

// {"checks": [{"verdict", "subject", "text"}...], "summary", "exitCode"}
void printJson(const CheckReport& report) {
    std::printf("{\n  \"checks\": [");
    const auto& checks = report.checks();
    for (size_t i = 0; i < checks.size(); ++i)
        std::printf("%s\n    {\"verdict\": \"%s\", \"subject\": %s, \"text\": %s}", i ? "," : "",
                    verdictName(checks[i].verdict), jsonString(checks[i].subject).c_str(),
                    jsonString(checks[i].text).c_str());
    std::printf("\n  ],\n  \"summary\": %s,\n  \"exitCode\": %d\n}\n", jsonString(report.summary()).c_str(),
                report.exitCode());
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::string s(suffix);
    return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
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

int runVerify(const VerifyArgs& a, pcn::cli::Context& ctx) {
    CheckReport report([&a](const Check& check) {
        if (a.json) return;
        std::printf("%s\n", checkLine(check).c_str());
        std::fflush(stdout);
    });
    interrupted = 0;
    auto previous = std::signal(SIGINT, onInterrupt);
    auto bar = std::make_unique<pcn::cli::ProgressBar>("Verifying");
    int lastPercent = -1;
    VerifyOptions options;
    options.againstSource = a.againstSource;
    options.progress = [&](uint64_t done, uint64_t total, const std::string& name) {
        const int percent = total ? static_cast<int>(done * 100 / total) : 100;
        if (percent != lastPercent) bar->update(lastPercent = percent, printable(name));
        return !interrupted;
    };
    Verifier verifier(report, pcn::SettingsStore::user(), options);
    for (const std::string& file : a.files) {
        if (verifier.cancelled()) break;
        if (endsWith(file, ".pcn")) {
            verifyProject(file, verifier, report, ctx);
        } else if (endsWith(file, ".pcp")) {
            std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(file);
            if (package) verifier.verifyPackage(*package);
            else report.fails(file, "the package file cannot be loaded");
        } else {
            verifier.verifyFile(file);
        }
    }
    std::signal(SIGINT, previous);
    bar->finish();
    bar.reset();
    if (a.json) printJson(report);
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
    cmd->add_flag("--json", args->json, "Print the checks as one JSON object instead of lines");
    cmd->callback([args, &ctx] { ctx.exitCode = runVerify(*args, ctx); });
}

}  // namespace

PCN_CLI_COMMAND("verify", setupVerify);
