// parcelon extract: the files of a cabinet, a spanning set or a
// self-extractor written into a folder, refusing the names a build refuses.

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "cli/Progress.h"
#include "verifying/CabinetSet.h"
#include "verifying/CheckReport.h"
#include "verifying/Extraction.h"

namespace {

using namespace pcn::verifying;

volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) { interrupted = 1; }

struct ExtractArgs {
    std::string file;
    std::string folder = ".";
};

int runExtract(const ExtractArgs& a) {
    CabinetSet set;
    if (!set.open(a.file)) return pcn::cli::fail(printable(a.file) + ": " + set.error());
    for (const std::string& problem : set.problems()) pcn::cli::fail(printable(problem));

    interrupted = 0;
    auto previous = std::signal(SIGINT, onInterrupt);
    pcn::cli::ProgressBar bar("Extracting");
    int lastPercent = -1;
    ExtractionReport report = extractAll(set, a.folder, [&](uint64_t done, uint64_t total, const std::string& name) {
        const int percent = total ? static_cast<int>(done * 100 / total) : 100;
        if (percent != lastPercent) bar.update(lastPercent = percent, printable(name));
        return !interrupted;
    });
    std::signal(SIGINT, previous);
    if (!report.unsafe.empty()) {
        std::string text = "nothing extracted: these names cannot be written safely on Windows:";
        for (const std::string& name : report.unsafe) text += "\n  " + printable(name);
        return pcn::cli::fail(text);
    }
    bar.finish(pcn::cli::groupDigits(report.written.size()) + " files");
    for (const std::string& path : report.written) std::printf("%s\n", printable(path).c_str());
    for (const std::string& failure : report.failures) pcn::cli::fail(printable(failure));
    if (report.cancelled) return pcn::cli::fail("extraction cancelled");
    return report.ok() && set.problems().empty() ? 0 : 1;
}

void setupExtract(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<ExtractArgs>();
    auto* cmd = app.add_subcommand("extract", "Extract the files of a cabinet, a spanning set or a self-extractor");
    cmd->add_option("FILE", args->file, "Cabinet (.CAB, any of its set) or self-extracting executable")->required();
    cmd->add_option("-d,--directory", args->folder, "Folder to extract into (created when missing)")->capture_default_str();
    cmd->callback([args, &ctx] { ctx.exitCode = runExtract(*args); });
}

}  // namespace

PCN_CLI_COMMAND("extract", setupExtract);
