#include "app/gui/SiblingFileCheck.h"

#include <cstdlib>
#include <sstream>

#include "platform/Paths.h"

namespace pcn::gui {
namespace {

bool onSearchPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && fileExists(withTrailingSeparator(folder) + std::string(program))) return true;
    return false;
}

bool isPresent(const std::string& programFolder, const SiblingFile& file) {
    if (file.where == LookedUpIn::SearchPath) return onSearchPath(file.name);
    return !findIgnoringCase(programFolder, file.name).empty();
}

}  // namespace

std::string missingSiblingFilesText(const std::string& programFolder) {
    const std::string folder = withTrailingSeparator(programFolder);
    std::string missing;
    for (const SiblingFile& file : kSiblingFiles)
        if (!isPresent(folder, file))
            missing += (file.where == LookedUpIn::SearchPath ? std::string(file.name) : folder + std::string(file.name)) +
                       "\r\n";
    return missing.empty() ? std::string() : std::string(kSiblingCheckIntro) + missing;
}

}  // namespace pcn::gui
