// parcelon wizard: what a Self Extracting Wizard package's stub shows and
// does (text, password, licence, installation folder, program to run, file
// destinations and registration, mini setup shortcuts), the settings of the
// wizard's Installation and Mini Setup pages, set on an existing package.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "building/BuildSupport.h"
#include "building/ConfigFile.h"
#include "cli/Command.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"

namespace {

struct WizardArgs {
    std::string packageFile;
    std::optional<std::string> text, password, licence, installDir, exe, commandLine, exeDir, displayType;
    std::optional<std::string> group, shortcutType;
    std::vector<std::string> shortcuts, destinations, registered;
    bool noText = false, noPassword = false, noLicence = false;
    bool userDir = false, fixedDir = false, restoreDirs = false, flat = false;
    bool miniSetup = false, noMiniSetup = false;
};

// The file table entry that NAME names: its path relative to the source
// folder, or its file name when that is unique. -1 after printing why not.
int findFile(const pcn::CCabObj& package, const std::string& name) {
    std::string folder = pcn::withTrailingSeparator(package.m_strSourceFolder);
    int found = -1, byName = -1, byNameCount = 0;
    for (int i = 0; i < package.GetFileCount(); ++i) {
        std::string path = package.GetFilePath(i);
        if (path == name || (path.starts_with(folder) && path.substr(folder.size()) == name)) found = i;
        if (pcn::fileNamePart(path) == name) {
            byName = i;
            ++byNameCount;
        }
    }
    if (found >= 0) return found;
    if (byNameCount == 1) return byName;
    pcn::cli::fail(byNameCount > 1 ? "several files of the package are called " + name + ": give its path"
                                   : "the package has no file " + name);
    return -1;
}

bool splitPair(const std::string& text, const char* option, std::string& left, std::string& right) {
    size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        pcn::cli::fail(std::string(option) + " takes NAME=VALUE: " + text);
        return false;
    }
    left = text.substr(0, equals);
    right = text.substr(equals + 1);
    return true;
}

bool applyFileOptions(pcn::CCabObj& p, const WizardArgs& a) {
    for (const std::string& pair : a.destinations) {
        std::string file, dest;
        if (!splitPair(pair, "--dest", file, dest)) return false;
        int index = findFile(p, file);
        if (index < 0) return false;
        p.SetFileDest(index, dest);
    }
    for (const std::string& file : a.registered) {
        int index = findFile(p, file);
        if (index < 0) return false;
        p.SetFileRegister(index, true);
    }
    return true;
}

bool applyMiniSetupOptions(pcn::CCabObj& p, const WizardArgs& a) {
    if (a.miniSetup) p.m_bMiniSetup = 1;
    if (a.noMiniSetup) p.m_bMiniSetup = 0;
    if (a.group) {
        p.m_bShortcutGroup = a.group->empty() ? 0 : 1;
        p.m_strGroupDesc = *a.group;
    }
    if (!a.shortcuts.empty()) {
        p.m_arrShortcutDesc.clear();
        p.m_arrShortcutFile.clear();
        for (const std::string& pair : a.shortcuts) {
            std::string description, file;
            if (!splitPair(pair, "--shortcut", description, file)) return false;
            p.m_arrShortcutDesc.push_back(description);
            p.m_arrShortcutFile.push_back(file);
        }
        p.m_bShortcuts = 1;
    }
    if (a.shortcutType) {
        static const std::map<std::string, int32_t> types = {
            {"common", pcn::kShortcutFolderCommonPrograms},
            {"personal", pcn::kShortcutFolderPersonalPrograms},
            {"startup", pcn::kShortcutFolderStartup}};
        p.m_nShortcutFolder = types.at(*a.shortcutType);
    } else if ((p.m_bShortcutGroup || p.m_bShortcuts) && p.m_nShortcutFolder == pcn::kShortcutFolderNone) {
        p.m_nShortcutFolder = pcn::kShortcutFolderCommonPrograms;  // the page's first entry
    }
    return true;
}

void applyPageOptions(pcn::CCabObj& p, const WizardArgs& a) {
    if (a.text) {
        p.m_bText = 1;
        p.m_strText = *a.text;
    }
    if (a.noText) p.m_bText = 0;
    if (a.password) {
        p.m_bPassword = 1;
        p.m_strPassword = *a.password;
    }
    if (a.noPassword) p.m_bPassword = 0;
    if (a.licence) {
        p.m_bLicense = 1;
        p.m_strLicenseFile = std::filesystem::absolute(*a.licence).lexically_normal().string();
    }
    if (a.noLicence) p.m_bLicense = 0;
    if (a.installDir) p.m_strInstallDir = *a.installDir;
    if (a.userDir) p.m_bUserDir = 1;
    if (a.fixedDir) p.m_bUserDir = 0;
    if (a.restoreDirs) p.m_bRestoreDirs = 1;
    if (a.flat) p.m_bRestoreDirs = 0;
    if (a.exe) p.m_strExe = *a.exe;
    if (a.commandLine) p.m_strCommandLine = *a.commandLine;
    if (a.exeDir) p.m_strExeDir = *a.exeDir;
    if (a.displayType) {
        static const std::map<std::string, int32_t> types = {
            {"normal", 0}, {"minimized", 1}, {"maximized", 2}, {"console", 3}, {"hidden", 4}};
        p.m_nShowType = types.at(*a.displayType);
    }
}

int runWizard(const WizardArgs& a) {
    std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(a.packageFile);
    if (!package) return 1;
    if (pcn::BuildKind(*package) != pcn::kKindSelfExtractingWizard)
        return pcn::cli::fail(a.packageFile + " is not a Self Extracting Wizard package");
    if (a.licence && !pcn::fileExists(*a.licence)) return pcn::cli::fail("no licence file " + *a.licence);
    applyPageOptions(*package, a);
    if (!applyFileOptions(*package, a) || !applyMiniSetupOptions(*package, a)) return 1;
    std::string problem = pcn::ConfigFileProblem(*package);
    if (!problem.empty()) return pcn::cli::fail(problem);
    package->m_bRebuild = 1;
    int error = 0;
    if (!pcn::SavePackage(*package, &error))
        return pcn::cli::fail("cannot write " + a.packageFile + ": " + std::strerror(error));
    std::printf("%s\n", a.packageFile.c_str());
    return 0;
}

void setupWizard(CLI::App& app, pcn::cli::Context& ctx) {
    auto a = std::make_shared<WizardArgs>();
    auto* cmd = app.add_subcommand("wizard", "Set what a Self Extracting Wizard package shows and does on install");
    cmd->add_option("PACKAGE", a->packageFile, "Package file (.pcp)")->required();
    cmd->add_option("--text", a->text, "Text shown first (OK/Cancel)");
    cmd->add_flag("--no-text", a->noText, "Show no text");
    cmd->add_option("--password", a->password, "Password asked before installing");
    cmd->add_flag("--no-password", a->noPassword, "Ask no password");
    cmd->add_option("--licence", a->licence, "Licence file shown with Accept/Decline");
    cmd->add_flag("--no-licence", a->noLicence, "Show no licence");
    cmd->add_option("--install-dir", a->installDir, "Default installation directory (folder tokens allowed)");
    cmd->add_flag("--user-dir", a->userDir, "The user may change the installation directory");
    cmd->add_flag("--fixed-dir", a->fixedDir, "The user may not change the installation directory");
    cmd->add_flag("--restore-dirs", a->restoreDirs, "Recreate the source's sub-folders");
    cmd->add_flag("--flat", a->flat, "Put every file straight into its destination folder");
    cmd->add_option("--exe", a->exe, "Program to execute after extraction");
    cmd->add_option("--command-line", a->commandLine, "That program's command line");
    cmd->add_option("--exe-dir", a->exeDir, "That program's default directory");
    cmd->add_option("--display-type", a->displayType, "normal, minimized, maximized, console or hidden")
        ->check(CLI::IsMember({"normal", "minimized", "maximized", "console", "hidden"}));
    cmd->add_option("--dest", a->destinations, "FILE=DESTINATION: a file's destination (%TEMP%, %SYSTEM%...)");
    cmd->add_option("--register", a->registered, "FILE: register this control after extraction");
    cmd->add_flag("--mini-setup", a->miniSetup, "Include the mini setup that creates shortcuts");
    cmd->add_flag("--no-mini-setup", a->noMiniSetup, "Leave the mini setup out");
    cmd->add_option("--group", a->group, "Mini setup: shortcut group description (empty: no group)");
    cmd->add_option("--shortcut", a->shortcuts, "Mini setup: DESCRIPTION=FILE, a shortcut (repeatable)");
    cmd->add_option("--shortcut-type", a->shortcutType, "Mini setup: common, personal or startup programs")
        ->check(CLI::IsMember({"common", "personal", "startup"}));
    cmd->callback([a, &ctx] { ctx.exitCode = runWizard(*a); });
}

}  // namespace

PCN_CLI_COMMAND("wizard", setupWizard);
