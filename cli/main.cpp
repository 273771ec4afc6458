#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <CLI/CLI.hpp>

#include "cli/Command.h"

int main(int argc, char** argv) {
    CLI::App app{"parcelon: Windows deployment packages (cabinets, self-extractors, web INF packages)\n"
                 "from the command line. Every command has --help."};
    app.set_version_flag("--version", std::string("parcelon ") + PCN_VERSION);
    app.require_subcommand(1);
    // --yes / --no may also follow the command: parcelon build x.pcn --yes
    app.fallthrough();

    pcn::cli::Context context;
    bool yes = false, no = false;
    auto* yesOpt = app.add_flag("--yes", yes, "Answer Yes to every question");
    app.add_flag("--no", no, "Answer No to every question")->excludes(yesOpt);

    // Commands appear in --help in alphabetical order, whatever the link order.
    auto commands = pcn::cli::registeredCommands();
    std::sort(commands.begin(), commands.end());
    for (auto& [name, setup] : commands) setup(app, context);

    app.parse_complete_callback([&] {
        if (yes) context.forcedAnswer = true;
        if (no) context.forcedAnswer = false;
    });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::filesystem::filesystem_error& e) {
        // A command met a file it could not handle (a device, a vanished
        // folder): say which and fail, rather than abort.
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return context.exitCode;
}
