#include "cli/Usage.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "cli/Output.h"

namespace pcn::cli {
namespace {

// Edits (insert, delete, replace, swap of neighbours) from a to b.
size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

std::map<const CLI::App*, std::vector<std::string>>& examples() {
    static std::map<const CLI::App*, std::vector<std::string>> table;
    return table;
}

// The command the user was giving: the first argument that names one.
const CLI::App* commandGiven(const CLI::App& app, int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
            if (command->get_name() == argv[i]) return command;
    return nullptr;
}

// The first argument that is not an option: what was meant as the command.
std::string firstWord(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-') return argv[i];
    return {};
}

}  // namespace

void addGlobalOptions(CLI::App& app, Context& context) {
    static bool yes = false, no = false;
    static std::string progress = "auto";
    auto* yesOption = app.add_flag("--yes", yes, "Answer Yes to every question");
    app.add_flag("--no", no, "Answer No to every question")->excludes(yesOption);
    app.add_option("--progress", progress, "Progress lines on stderr: auto (when it is a terminal), always or never")
        ->check(CLI::IsMember({"auto", "always", "never"}));
    auto* quiet = app.add_flag_callback("-q,--quiet", [] { output().verbosity = Verbosity::Quiet; },
                                        "Print results and errors only");
    app.add_flag_callback("-v,--verbose", [] { output().verbosity = Verbosity::Verbose; }, "Print more detail")
        ->excludes(quiet);
    app.parse_complete_callback([&context] {
        if (yes) context.forcedAnswer = true;
        if (no) context.forcedAnswer = false;
        output().progress = progress == "always" ? ProgressMode::Always
                            : progress == "never" ? ProgressMode::Never
                                                  : ProgressMode::Auto;
    });
}

std::string closestCommand(const CLI::App& app, const std::string& typed) {
    std::string best;
    size_t bestDistance = std::max<size_t>(2, typed.size() / 3) + 1;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (command->get_group().empty()) continue;  // hidden
        const size_t distance = editDistance(typed, command->get_name());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = command->get_name();
        }
    }
    return best;
}

int reportParseError(CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(error);
    const CLI::App* command = commandGiven(app, argc, argv);
    const std::string word = firstWord(argc, argv);
    if (!command && !word.empty()) {
        std::fprintf(stderr, "parcelon: '%s' is not a parcelon command.", word.c_str());
        if (const std::string near = closestCommand(app, word); !near.empty())
            std::fprintf(stderr, " Did you mean '%s'?", near.c_str());
        std::fputc('\n', stderr);
    } else {
        std::fprintf(stderr, "parcelon: %s\n", error.what());
    }
    const std::string name = command ? " " + command->get_name() : "";
    std::fprintf(stderr, "Try 'parcelon%s --help' for more information.\n", name.c_str());
    return kExitUsage;
}

int usageError(const CLI::App& command, const std::string& text) {
    std::fprintf(stderr, "parcelon: %s\n", text.c_str());
    std::fprintf(stderr, "Try 'parcelon %s --help' for more information.\n", command.get_name().c_str());
    return kExitUsage;
}

void addJsonFlag(CLI::App& command) {
    command.add_flag_callback("--json", [] { output().json = true; },
                              "Print the result on stdout as one JSON document (see the README for its shape)");
}

void addExamples(CLI::App& command, std::vector<std::string> lines) {
    std::string text = command.get_footer();
    if (!text.empty()) text += "\n\n";
    text += "Examples:";
    for (const std::string& line : lines) text += "\n  " + line;
    command.footer(text);
    examples()[&command] = std::move(lines);
}

const std::vector<std::string>& examplesOf(const CLI::App& command) {
    static const std::vector<std::string> none;
    auto found = examples().find(&command);
    return found == examples().end() ? none : found->second;
}

}  // namespace pcn::cli
