// parcelon scan COMPONENT: the component's dependency list as the web
// package's Dependencies page holds it, one row per entry: origin image,
// include flag, name (the full path once located), or --json. Progress on
// stderr; Ctrl-C ends it at once with 130 (it writes nothing).

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Interrupt.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "cli/ScanProgressBar.h"
#include "cli/Usage.h"
#include "model/CCabObj.h"
#include "web/scanner/DependencyScanner.h"

namespace {

using pcn::cli::TerminalScanProgress;

struct ScanOptions {
    std::string component;
    bool noScan = false;
    bool dynamic = false;
};

int scan(const ScanOptions& options, pcn::cli::Context& context) {
    if (!std::filesystem::is_regular_file(options.component))
        return pcn::cli::fail("no such component: " + options.component);
    pcn::CCabObj package;
    package.m_nKind = pcn::kKindWebInf;
    package.m_pWeb->SetComponentPath(std::filesystem::absolute(options.component).lexically_normal().string());
    package.m_pWeb->m_bScan = options.noScan ? 0 : 1;
    package.m_pWeb->m_bScanDynamic = options.dynamic ? 1 : 0;

    pcn::cli::InterruptGuard interrupt(pcn::cli::InterruptGuard::Mode::EndAtOnce);
    TerminalScanProgress progress;
    if (!pcn::web::ScanDependencies(package, progress, context.ui())) {
        std::fprintf(stderr, "%s\n", std::string(pcn::web::kScanFailedText).c_str());
        return 1;
    }
    if (!options.noScan) progress.finish();
    const std::vector<std::string> reasons = pcn::web::UnresolvedDependencyReasons(package);
    if (pcn::cli::output().json) {
        pcn::cli::JsonWriter json;
        json.beginObject().field("component", package.m_pWeb->m_strFilePath).key("dependencies").beginArray();
        for (int i = 0; i < package.GetDependencyCount(); ++i) {
            json.beginObject()
                .field("name", package.GetDependencyName(i))
                .field("origin", package.GetDependencyOrigin(i))
                .field("include", package.GetDependencyInclude(i) != 0);
            if (!reasons[i].empty()) json.field("reason", reasons[i]);
            json.endObject();
        }
        json.endArray().endObject().print();
        return 0;
    }
    for (int i = 0; i < package.GetDependencyCount(); ++i) {
        std::printf("%d %d %s\n", package.GetDependencyOrigin(i), package.GetDependencyInclude(i),
                    package.GetDependencyName(i).c_str());
        // Rows stay "origin include name" for scripts; the reason goes to the reader.
        if (!reasons[i].empty() && std::fflush(stdout) == 0)
            std::fprintf(stderr, "%s not found: %s\n", package.GetDependencyName(i).c_str(), reasons[i].c_str());
    }
    return 0;
}

void setupScan(CLI::App& app, pcn::cli::Context& context) {
    auto* command = app.add_subcommand(
        "scan",
        "List the libraries a component needs, as the web package's Dependencies page does: one row per\n"
        "entry with its origin image (2 system library, 3 loaded library, 4 named in the file, 5 not found,\n"
        "6 the component), its include flag and its full path (or bare name when not found)");
    auto options = std::make_shared<ScanOptions>();
    command->add_option("COMPONENT", options->component, "The component (.ocx, .dll, or an ELF .so)")->required();
    command->add_flag("--no-scan", options->noScan, "Do not scan: list the component alone");
    command->add_flag("--dynamic", options->dynamic,
                      "Also list the libraries the component names in its data (dynamic dependencies)");
    pcn::cli::addJsonFlag(*command);
    pcn::cli::addExamples(*command, {"parcelon scan build/Control.ocx", "parcelon scan libwidget.so --dynamic --json"});
    command->callback([&context, options] { context.exitCode = scan(*options, context); });
}

}  // namespace

PCN_CLI_COMMAND("scan", setupScan);
