// Every file the programs look up in their program folder is installed, and
// in the package that needs it: the command line's own lookups by the
// Qt-free component alone. The names come from the code that looks them up.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/gui/SiblingFileCheck.h"
#include "building/SelfExtractor.h"
#include "ftp/FtpTransfer.h"
#include "listers/common/Handshake.h"
#include "model/tests/TestFolder.h"
#include "signing/ToolRunner.h"
#include "signing/TrustDetails.h"

namespace pcn {
namespace {

namespace fs = std::filesystem;

// What the command line and the programs it starts look up.
std::set<std::string> commandLineLookups() {
    return {std::string(kSignCodeTool), std::string(kChkTrustTool), kFtpLibraryFile, listers::kHostProgram,
            "LDSCNT.so", "LDSC95.so", std::string(kExtractorStubName), std::string(kWizardStubName),
            std::string(kMiniSetupName), "INSTALLED"};
}

// What pcn adds: the trust dialog ChkTrust starts on a desktop, and what the
// sibling-file check looks for.
std::set<std::string> desktopLookups() {
    std::set<std::string> names = commandLineLookups();
    names.insert(std::string(kTrustDialogTool));
    for (const gui::SiblingFile& file : gui::kSiblingFiles)
        if (file.where == gui::LookedUpIn::ProgramFolder) names.insert(std::string(file.name));
    return names;
}

// The program-folder files an install of the component wrote, by name below
// lib/parcelon, from CMake's install manifest. A link there to a folder the
// install filled (the help pages) stands for the files it lists there.
std::set<std::string> installedProgramFiles(const std::string& component, const fs::path& prefix) {
    const std::string command = "cmake --install '" PCN_BINARY_DIR "' --prefix '" + prefix.string() +
                                "' --component " + component + " > /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream manifest(fs::path(PCN_BINARY_DIR) / ("install_manifest_" + component + ".txt"));
    EXPECT_TRUE(manifest) << "no install manifest for " << component;
    std::vector<fs::path> listed;
    for (std::string line; std::getline(manifest, line);) listed.emplace_back(line);
    const fs::path folder = prefix / "lib/parcelon";
    std::set<std::string> names;
    for (const fs::path& path : listed) {
        const fs::path name = path.lexically_relative(folder);
        if (name.empty() || *name.begin() == "..") continue;
        names.insert(name.string());
        if (!fs::is_symlink(path)) continue;
        const fs::path target = fs::canonical(path);
        for (const fs::path& other : listed) {
            const fs::path below = other.lexically_relative(target);
            if (!below.empty() && *below.begin() != ".." && below != ".") names.insert((name / below).string());
        }
    }
    return names;
}

void expectInstalled(const std::set<std::string>& wanted, const std::set<std::string>& installed,
                     const std::string& by) {
    for (const std::string& name : wanted) EXPECT_TRUE(installed.count(name)) << name << " is not installed by " << by;
}

TEST(InstallManifestTest, TheCommandLineComponentHoldsEverythingTheCommandLineLooksUp) {
    test::TestFolder folder;
    expectInstalled(commandLineLookups(), installedProgramFiles("cli", folder.file("prefix")), "the cli component");
}

TEST(InstallManifestTest, TheTwoComponentsHoldEverythingTheProgramsLookUp) {
    test::TestFolder folder;
    std::set<std::string> installed = installedProgramFiles("cli", folder.file("prefix"));
    installed.merge(installedProgramFiles("gui", folder.file("prefix")));
    expectInstalled(desktopLookups(), installed, "the cli and gui components");
    EXPECT_TRUE(installed.count("pcn"));
}

}  // namespace
}  // namespace pcn
