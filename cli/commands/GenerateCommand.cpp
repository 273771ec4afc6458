// parcelon generate: the manual pages and the shell completions, made from
// the command definitions themselves so that they never drift from --help.
// The build runs it; it is hidden from the command list.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Usage.h"

namespace {

namespace fs = std::filesystem;

std::vector<const CLI::App*> visibleCommands(const CLI::App& app) {
    std::vector<const CLI::App*> commands;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
        if (!command->get_group().empty()) commands.push_back(command);
    return commands;
}

std::vector<const CLI::Option*> optionsOf(const CLI::App& command) {
    std::vector<const CLI::Option*> options;
    for (const CLI::Option* option : command.get_options())
        if (!option->get_group().empty()) options.push_back(option);
    return options;
}

bool takesValue(const CLI::Option& option) { return option.get_expected_max() > 0 && option.get_type_name() != ""; }

// The option's spellings, "-q, --quiet".
std::string spellings(const CLI::Option& option) { return option.get_name(false, true); }

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// roff: a leading '.' or '\'' would be a request, '\\' an escape, '-' a hyphen.
std::string roff(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
        lineStart = c == '\n';
    }
    return out;
}

struct ExitStatus {
    int code;
    const char* meaning;
};

const ExitStatus kCommonStatuses[] = {
    {0, "The command did what it was asked."},
    {1, "It failed; the message on standard error says what failed and on which file."},
    {2, "The command line was wrong (an unknown command or option, a missing or bad value)."},
};

// What the long commands add to the common statuses.
std::vector<ExitStatus> statusesOf(const std::string& name) {
    std::vector<ExitStatus> statuses(std::begin(kCommonStatuses), std::end(kCommonStatuses));
    if (name == "build" || name == "sign")
        statuses.push_back({3, "The output is complete, but a signature or time stamp that was asked for is missing."});
    if (name == "verify") {
        statuses[1].meaning = "A check failed: its FAIL line on standard output says which, and on which file.";
        statuses.push_back({3, "Every other check holds, but a signature or time stamp that was asked for is missing."});
    }
    if (name == "build" || name == "cab" || name == "send" || name == "scan" || name == "extract" || name == "verify")
        statuses.push_back({130, "Cancelled with Ctrl-C; the outputs are left as they were."});
    return statuses;
}

const char* const kEnvironment[][2] = {
    {"PCN_SETTINGS", "The settings file to use instead of the user's."},
    {"XDG_CONFIG_HOME", "Where the user's settings live (default ~/.config)."},
    {"XDG_CONFIG_DIRS", "Where the machine-wide settings, which supply what the user has not set, are looked for (default /etc/xdg)."},
    {"PCN_DATA_DIR", "The folder for new packages, the default project and the FTP site file."},
    {"XDG_DATA_HOME", "The data folder's parent in an installed copy (default ~/.local/share)."},
    {"PCN_FTP_PASSWORD", "The FTP password for parcelon send."},
    {"COLUMNS", "The width of progress lines when standard error is not a terminal's."},
};

void writeOptionsSection(std::ostream& out, const CLI::App& command) {
    out << ".SH OPTIONS\n";
    for (const CLI::Option* option : optionsOf(command)) {
        out << ".TP\n.B " << roff(option->get_positional() ? option->get_name(true) : spellings(*option));
        if (!option->get_positional() && takesValue(*option)) out << " \\fI" << roff(option->get_type_name()) << "\\fR";
        out << "\n" << roff(option->get_description()) << "\n";
    }
}

void writePage(const fs::path& folder, const CLI::App& app, const CLI::App* command) {
    const std::string name = command ? "parcelon-" + command->get_name() : "parcelon";
    const CLI::App& shown = command ? *command : app;
    std::ofstream out(folder / (name + ".1"), std::ios::binary);
    std::string upper = name;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    out << ".TH " << upper << " 1 \"\" \"parcelon " << PCN_VERSION << "\" \"User Commands\"\n";
    out << ".SH NAME\n" << roff(name) << " \\- " << roff(firstLine(shown.get_description())) << "\n";
    out << ".SH SYNOPSIS\n.B parcelon\n";
    if (command) out << ".B " << roff(command->get_name()) << "\n";
    out << "[\\fIOPTIONS\\fR]";
    for (const CLI::Option* option : optionsOf(shown))
        if (option->get_positional()) out << " \\fI" << roff(option->get_name(true)) << "\\fR";
    if (!command) out << " \\fICOMMAND\\fR ...";
    out << "\n.SH DESCRIPTION\n" << roff(shown.get_description()) << "\n";
    if (!command) {
        out << ".SH COMMANDS\n";
        for (const CLI::App* sub : visibleCommands(app))
            out << ".TP\n.BR parcelon\\-" << roff(sub->get_name()) << " (1)\n" << roff(firstLine(sub->get_description()))
                << "\n";
    }
    writeOptionsSection(out, shown);
    if (command)
        out << ".PP\nThe global options of \\fBparcelon\\fR(1) (\\-\\-yes, \\-\\-no, \\-\\-progress, \\-q, \\-v) may "
               "follow the command too.\n";
    out << ".SH EXIT STATUS\n";
    for (const ExitStatus& status : statusesOf(command ? command->get_name() : ""))
        out << ".TP\n.B " << status.code << "\n" << roff(status.meaning) << "\n";
    out << ".SH ENVIRONMENT\n";
    for (const auto& [variable, meaning] : kEnvironment) out << ".TP\n.B " << variable << "\n" << roff(meaning) << "\n";
    const std::vector<std::string>& examples = pcn::cli::examplesOf(shown);
    if (!examples.empty()) {
        out << ".SH EXAMPLES\n";
        for (const std::string& example : examples) out << ".PP\n.nf\n" << roff(example) << "\n.fi\n";
    }
    out << ".SH SEE ALSO\n";
    if (command) out << ".BR parcelon (1),\n";
    out << ".BR pcn (1)\n";
}

// Words that complete after a command (or after parcelon itself).
std::string wordsOf(const CLI::App& command) {
    std::string words;
    for (const CLI::App* sub : visibleCommands(command)) words += sub->get_name() + " ";
    for (const CLI::Option* option : optionsOf(command))
        if (!option->get_positional()) {
            for (const std::string& l : option->get_lnames()) words += "--" + l + " ";
            for (const std::string& s : option->get_snames()) words += "-" + s + " ";
        }
    if (!words.empty()) words.pop_back();
    return words;
}

void printBashCompletion(const CLI::App& app) {
    std::printf("# bash completion for parcelon, made by parcelon generate\n"
                "_parcelon() {\n"
                "  local cur=${COMP_WORDS[COMP_CWORD]} command=\"\" i words\n"
                "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
                "    case ${COMP_WORDS[i]} in\n");
    for (const CLI::App* command : visibleCommands(app))
        std::printf("      %s) command=%s; break ;;\n", command->get_name().c_str(), command->get_name().c_str());
    std::printf("    esac\n  done\n  case $command in\n");
    std::printf("    \"\") words=\"%s\" ;;\n", wordsOf(app).c_str());
    for (const CLI::App* command : visibleCommands(app))
        std::printf("    %s) words=\"%s\" ;;\n", command->get_name().c_str(), wordsOf(*command).c_str());
    std::printf("  esac\n"
                "  if [[ $cur == -* || -z $command ]]; then\n"
                "    mapfile -t COMPREPLY < <(compgen -W \"$words\" -- \"$cur\")\n"
                "  else\n"
                "    mapfile -t COMPREPLY < <(compgen -W \"$words\" -- \"$cur\"; compgen -f -- \"$cur\")\n"
                "  fi\n"
                "}\n"
                "complete -o filenames -F _parcelon parcelon\n");
}

// zsh: one line per command and option, with its description.
std::string zshQuoted(const std::string& text) {
    std::string out;
    for (char c : firstLine(text)) {
        if (c == '\'') out += "'\\''";
        else if (c == '[' || c == ']' || c == ':') out += '\\', out += c;
        else out += c;
    }
    return out;
}

void printZshCompletion(const CLI::App& app) {
    std::printf("#compdef parcelon\n# zsh completion for parcelon, made by parcelon generate\n"
                "_parcelon() {\n  local -a commands\n  commands=(\n");
    for (const CLI::App* command : visibleCommands(app))
        std::printf("    '%s:%s'\n", command->get_name().c_str(), zshQuoted(command->get_description()).c_str());
    std::printf("  )\n  if (( CURRENT == 2 )); then\n    _describe command commands\n    return\n  fi\n"
                "  case $words[2] in\n");
    for (const CLI::App* command : visibleCommands(app)) {
        std::printf("    %s) _arguments", command->get_name().c_str());
        for (const CLI::Option* option : optionsOf(*command)) {
            if (option->get_positional()) continue;
            for (const std::string& l : option->get_lnames())
                std::printf(" '--%s[%s]%s'", l.c_str(), zshQuoted(option->get_description()).c_str(),
                            takesValue(*option) ? ":value:_files" : "");
        }
        std::printf(" '*:file:_files' ;;\n");
    }
    std::printf("  esac\n}\n_parcelon \"$@\"\n");
}

struct GenerateArgs {
    std::string what;
    std::string where;
};

void setupGenerate(CLI::App& app, pcn::cli::Context& context) {
    auto args = std::make_shared<GenerateArgs>();
    auto* command = app.add_subcommand("generate", "Write the manual pages or print a shell completion");
    command->group("");  // for the build, not for users
    command->add_option("WHAT", args->what, "man, bash or zsh")->required()->check(CLI::IsMember({"man", "bash", "zsh"}));
    command->add_option("FOLDER", args->where, "Where the manual pages go");
    command->callback([&app, &context, args] {
        if (args->what == "bash") return printBashCompletion(app);
        if (args->what == "zsh") return printZshCompletion(app);
        const fs::path folder = args->where.empty() ? fs::path(".") : fs::path(args->where);
        std::error_code error;
        fs::create_directories(folder, error);
        writePage(folder, app, nullptr);
        for (const CLI::App* sub : visibleCommands(app)) writePage(folder, app, sub);
        if (!fs::exists(folder / "parcelon.1")) context.exitCode = pcn::cli::fail("cannot write in " + folder.string());
    });
}

}  // namespace

PCN_CLI_COMMAND("generate", setupGenerate);
