#include "editing/core/Shortcuts.h"

#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Whether path begins with folder, taking "/" and "\" for the same
// character. The folder counts as ending with a separator, so that a sibling
// folder whose name merely starts the same ("src2" beside "src") is no match.
bool beginsWithFolder(std::string_view path, std::string_view folder, size_t& restStart) {
    while (!folder.empty() && isSeparator(folder.back())) folder.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() + 1) return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        const bool same = path[i] == folder[i] || (isSeparator(path[i]) && isSeparator(folder[i]));
        if (!same) return false;
    }
    if (!isSeparator(path[folder.size()])) return false;
    restStart = folder.size() + 1;
    return true;
}

}  // namespace

std::string ShortcutFileFor(std::string_view path, std::string_view sourceFolder) {
    size_t restStart = 0;
    if (!beginsWithFolder(path, sourceFolder, restStart)) return fileNamePart(path);
    std::string relative(path.substr(restStart));
    for (char& c : relative)
        if (c == '/') c = '\\';
    return relative;
}

int32_t ShortcutFolderForTypeIndex(int index) {
    switch (index) {
        case 0: return kShortcutFolderCommonPrograms;
        case 1: return kShortcutFolderPersonalPrograms;
        case 2: return kShortcutFolderStartup;
        default: return kShortcutFolderNone;
    }
}

int ShortcutTypeIndexForFolder(int32_t folder) {
    switch (folder) {
        case kShortcutFolderPersonalPrograms: return 1;
        case kShortcutFolderStartup: return 2;
        default: return 0;
    }
}

}  // namespace pcn
