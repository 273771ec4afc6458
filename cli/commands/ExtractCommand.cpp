// parcelon extract: the files of a cabinet, a spanning set or a
// self-extractor written into a folder, refusing the names a build refuses.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "cli/Interrupt.h"
#include "cli/Progress.h"
#include "cli/Usage.h"
#include "verifying/CabinetSet.h"
#include "verifying/CheckReport.h"
#include "verifying/Extraction.h"

namespace {

using namespace pcn::verifying;

struct ExtractArgs {
    std::string file;
    std::string folder = ".";
};

int runExtract(const ExtractArgs& a) {
    CabinetSet set;
    if (!set.open(a.file)) return pcn::cli::fail(printable(a.file) + ": " + set.error());
    for (const std::string& problem : set.problems()) pcn::cli::fail(printable(problem));

    pcn::cli::InterruptGuard interrupt;
    auto bar = std::make_unique<pcn::cli::ProgressBar>("Extracting");
    int lastPercent = -1;
    ExtractionReport report = extractAll(set, a.folder, [&](uint64_t done, uint64_t total, const std::string& name) {
        const int percent = total ? static_cast<int>(done * 100 / total) : 100;
        if (percent != lastPercent) bar->update(lastPercent = percent, printable(name));
        return !pcn::cli::interruptRequested();
    });
    if (!report.unsafe.empty()) {
        bar.reset();
        std::string text = "nothing extracted: these names cannot be written safely on Windows:";
        for (const std::string& name : report.unsafe) text += "\n  " + printable(name);
        return pcn::cli::fail(text);
    }
    bar->finish(pcn::cli::groupDigits(report.written.size()) + " files");
    bar.reset();
    // What was written whole stays, and is named; the file in progress is not left behind.
    for (const std::string& path : report.written) std::printf("%s\n", printable(path).c_str());
    for (const std::string& failure : report.failures) pcn::cli::fail(printable(failure));
    if (report.cancelled) return pcn::cli::cancelled();
    return report.ok() && set.problems().empty() ? 0 : pcn::cli::kExitFailed;
}

void setupExtract(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<ExtractArgs>();
    auto* cmd = app.add_subcommand("extract", "Extract the files of a cabinet, a spanning set or a self-extractor");
    cmd->add_option("FILE", args->file, "Cabinet (.CAB, any of its set) or self-extracting executable")->required();
    cmd->add_option("-d,--directory", args->folder, "Folder to extract into (created when missing)")->capture_default_str();
    pcn::cli::addExamples(*cmd, {"parcelon extract out/Tools/Tools1.CAB -d unpacked",
                                 "parcelon extract out/Tools/ToolsW.EXE -d unpacked"});
    cmd->callback([args, &ctx] { ctx.exitCode = runExtract(*args); });
}

}  // namespace

PCN_CLI_COMMAND("extract", setupExtract);
