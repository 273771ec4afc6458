#include "app/gui/SiblingFileCheck.h"

#include <cstdlib>
#include <sstream>

#include "platform/Paths.h"

namespace pcn::gui {
namespace {

constexpr std::string_view kSigningEngine = "osslsigncode";

bool onSearchPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && fileExists(withTrailingSeparator(folder) + std::string(program))) return true;
    return false;
}

}  // namespace

std::vector<std::string> siblingFileNames() {
    return {
        "ChkTrust",        // trust check tool
        "LDSCNT.so",       // module lister
        "LDSCE",           // loader host of the module listers
        "LDSC95.so",       // module lister of the Windows 95 style, chosen in the scan settings
        "PcnFtp.so",       // FTP transfer library
        "EXTRACT.EXE",     // cabinet extractor stub
        "TinySetup.exe",   // mini setup
        "SignCode",        // code signing tool
        "PilotStub.exe",   // setup wizard stub
        "lpk_tool",        // licence package tool
        std::string(kSigningEngine),
        "Help/default.htm",
    };
}

std::string missingSiblingFilesText(const std::string& programFolder) {
    const std::string folder = withTrailingSeparator(programFolder);
    std::string missing;
    for (const std::string& name : siblingFileNames()) {
        const std::string path = folder + name;
        if (fileExists(path)) continue;
        if (name == kSigningEngine && onSearchPath(name)) continue;
        missing += path + "\r\n";
    }
    return missing.empty() ? std::string() : std::string(kSiblingCheckIntro) + missing;
}

}  // namespace pcn::gui
