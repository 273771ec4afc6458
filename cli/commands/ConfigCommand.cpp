// parcelon config: the "pcn.cfg" a Self Extracting Wizard package's build
// writes for its stub (with a freshly scrambled password, as every build).

#include <cstdio>
#include <memory>

#include "building/BuildSupport.h"
#include "building/ConfigFile.h"
#include "cli/Command.h"
#include "model/CCabObj.h"

namespace {

int printConfig(const std::string& path) {
    std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(path);
    if (!package) return 1;
    if (pcn::BuildKind(*package) != pcn::kKindSelfExtractingWizard)
        return pcn::cli::fail(path + " is not a Self Extracting Wizard package: its build writes no pcn.cfg");
    std::string problem = pcn::ConfigFileProblem(*package);
    if (!problem.empty()) return pcn::cli::fail(problem);
    std::string text = pcn::ConfigFileText(*package, pcn::RandomPasswordFiller());
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

void setupConfig(CLI::App& app, pcn::cli::Context& ctx) {
    auto path = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("config", "Print the pcn.cfg a Self Extracting Wizard package's build writes");
    cmd->add_option("PACKAGE", *path, "Package file (.pcp)")->required();
    cmd->callback([path, &ctx] { ctx.exitCode = printConfig(*path); });
}

}  // namespace

PCN_CLI_COMMAND("config", setupConfig);
