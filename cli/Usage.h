#pragma once
// The conventions every parcelon command shares, kept here so that a new
// command gets them by registering: the global flags (--yes/--no,
// --progress, -q, -v), exit status 2 with a one-line hint for a usage
// error, the closest command for a mistyped one, and the examples that
// --help, the manual pages and the completions show.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace pcn::cli {

inline constexpr int kExitUsage = 2;

void addGlobalOptions(CLI::App& app, Context& context);

// Prints CLI11's verdict on the command line (help, version, or the usage
// error with a hint) and returns the exit status.
int reportParseError(CLI::App& app, const CLI::ParseError& error, int argc, char** argv);

// A usage error found after parsing (options that do not go together):
// "error: TEXT" and the hint on stderr; returns kExitUsage.
int usageError(const CLI::App& command, const std::string& text);

// The registered command nearest to a mistyped name, or "" when none is close.
std::string closestCommand(const CLI::App& app, const std::string& typed);

// --json for the commands that can print their result as JSON.
void addJsonFlag(CLI::App& command);

// Example command lines for a command: shown at the end of its --help and in
// its manual page.
void addExamples(CLI::App& command, std::vector<std::string> examples);
const std::vector<std::string>& examplesOf(const CLI::App& command);

}  // namespace pcn::cli
