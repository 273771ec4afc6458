#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <CLI/CLI.hpp>

#include "cli/Command.h"
#include "cli/Output.h"
#include "cli/Usage.h"

int main(int argc, char** argv) {
    CLI::App app{"parcelon: Windows deployment packages (cabinets, self-extractors, web INF packages)\n"
                 "from the command line. Every command has --help."};
    app.set_version_flag("--version", std::string("parcelon ") + PCN_VERSION);
    app.require_subcommand(1);
    // Global flags may also follow the command: parcelon build x.pcn --yes
    app.fallthrough();

    pcn::cli::Context context;
    pcn::cli::addGlobalOptions(app, context);
    pcn::cli::addExamples(app, {"parcelon new Tools.pcp --kind wizard --company Acme --product Tools --source dist --target out",
                                "parcelon project Release.pcn add Tools.pcp",
                                "parcelon build Release.pcn --yes"});

    // Commands appear in --help in alphabetical order, whatever the link order.
    auto commands = pcn::cli::registeredCommands();
    std::sort(commands.begin(), commands.end());
    for (auto& [name, setup] : commands) setup(app, context);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return pcn::cli::reportParseError(app, e, argc, argv);
    } catch (const std::filesystem::filesystem_error& e) {
        // A command met a file it could not handle (a device, a vanished
        // folder): say which and fail, rather than abort.
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return context.exitCode;
}
