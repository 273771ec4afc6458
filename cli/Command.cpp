#include "cli/Command.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/PackageFile.h"

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

std::unique_ptr<CCabObj> loadPackageArgument(const std::string& path) {
    PackageLoadResult loaded = LoadPackageFile(path);
    if (loaded.package) return std::move(loaded.package);
    if (loaded.error == PackageLoadError::Damaged)
        fail("Unexpected file format. (" + path + (loaded.detail.empty() ? "" : ": " + loaded.detail) + ")");
    else
        fail("cannot open " + path + ": " + std::strerror(loaded.systemError));
    return nullptr;
}

}  // namespace pcn::cli
