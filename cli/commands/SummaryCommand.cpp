// parcelon summary: the package summary document, printed or saved where
// the wizard saves it.

#include <cstdio>
#include <memory>

#include "building/Summary.h"
#include "cli/Command.h"
#include "model/CCabObj.h"

namespace {

int summarize(const std::string& path, bool write, pcn::cli::Context& ctx) {
    std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(path);
    if (!package) return 1;
    if (package->IsWebPackage()) return pcn::cli::fail(path + " is a web package: it has no package summary");
    std::string text = pcn::SummaryText(*package);
    if (!write) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (pcn::SaveSummary(*package, text, ctx.ui()) != pcn::SummarySaveResult::Saved) return 1;
    std::printf("%s\n", pcn::SummaryDocumentPath(*package).c_str());
    return 0;
}

void setupSummary(CLI::App& app, pcn::cli::Context& ctx) {
    auto path = std::make_shared<std::string>();
    auto write = std::make_shared<bool>(false);
    auto* cmd = app.add_subcommand("summary", "Print a package's summary document (rich text), or save it");
    cmd->add_option("PACKAGE", *path, "Package file (.pcp)")->required();
    cmd->add_flag("--write", *write, "Save it as the package name + \".doc\" in the target folder and print its path");
    cmd->callback([path, write, &ctx] { ctx.exitCode = summarize(*path, *write, ctx); });
}

}  // namespace

PCN_CLI_COMMAND("summary", setupSummary);
