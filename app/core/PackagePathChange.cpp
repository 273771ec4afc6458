#include "app/core/PackagePathChange.h"

#include <algorithm>

#include "platform/Paths.h"

namespace pcn {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string MoveToFolder(std::string_view path, std::string_view newFolder) {
    return std::string(newFolder) + fileNamePart(path);
}

std::optional<std::string> ReplaceLeadingFolder(std::string_view path, std::string_view oldFolder,
                                                std::string_view newFolder) {
    if (oldFolder.empty() || !path.starts_with(oldFolder)) return std::nullopt;
    const std::string_view rest = path.substr(oldFolder.size());
    // "/home/ann" is no leading folder of "/home/anna/a.pcp".
    if (!isSeparator(oldFolder.back()) && !rest.empty() && !isSeparator(rest.front())) return std::nullopt;
    return std::string(newFolder) + std::string(rest);
}

int ReplaceLeadingFolderInAll(std::vector<std::string>& paths, std::string_view oldFolder,
                              std::string_view newFolder) {
    int changed = 0;
    for (std::string& path : paths) {
        if (auto moved = ReplaceLeadingFolder(path, oldFolder, newFolder)) {
            path = std::move(*moved);
            ++changed;
        }
    }
    return changed;
}

std::vector<std::string> DistinctFolders(const std::vector<std::string>& paths) {
    std::vector<std::string> folders;
    for (const std::string& path : paths) {
        std::string folder = folderPart(path);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(std::move(folder));
    }
    return folders;
}

}  // namespace pcn
