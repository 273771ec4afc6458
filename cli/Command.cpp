#include "cli/Command.h"

#include <algorithm>
#include <cstdio>

namespace pcn::cli {

TerminalUserInterface& Context::ui() {
    if (!ui_) ui_.emplace(forcedAnswer);
    return *ui_;
}

std::vector<std::pair<std::string, SetupFunction>>& registeredCommands() {
    static std::vector<std::pair<std::string, SetupFunction>> commands;
    return commands;
}

bool registerCommand(const char* name, SetupFunction setup) {
    registeredCommands().emplace_back(name, setup);
    return true;
}

int fail(const std::string& text) {
    std::fprintf(stderr, "error: %s\n", text.c_str());
    return 1;
}

}  // namespace pcn::cli
