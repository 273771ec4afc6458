#pragma once
// Command registration for parcelon. A command file defines a setup function
// that adds its sub-command to the application and registers it with
// PCN_CLI_COMMAND(setupFunction). The setup function stores its exit code in
// the context from the sub-command's callback.

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "distribution/TerminalUserInterface.h"

namespace pcn {
class CCabObj;
}

namespace pcn::cli {

struct Context {
    int exitCode = 0;
    // --yes / --no given on the command line (global), answering every
    // Yes/No question of the core.
    std::optional<bool> forcedAnswer;
    TerminalUserInterface& ui();

private:
    std::optional<TerminalUserInterface> ui_;
};

using SetupFunction = void (*)(CLI::App& app, Context& context);

bool registerCommand(const char* name, SetupFunction setup);
std::vector<std::pair<std::string, SetupFunction>>& registeredCommands();

// Exit codes of the commands that build and sign: 0 done, 1 failed, and
// this one when every output is complete but a signature or time stamp that
// was asked for is missing, so that unsigned output is never taken for signed.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitSigningIncomplete = 3;

// Prints "error: TEXT" on stderr and returns 1, for `return fail(...)`.
int fail(const std::string& text);

// The package file named on the command line; null after printing why it
// could not be loaded.
std::unique_ptr<CCabObj> loadPackageArgument(const std::string& path);

}  // namespace pcn::cli

#define PCN_CLI_COMMAND(name, setup) \
    static const bool pcnCliRegistered_##setup = ::pcn::cli::registerCommand(name, setup)
