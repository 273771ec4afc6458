#pragma once
// Moving package file references to another folder: the rewrites behind the
// missing-file dialog's change modes and the property sheet's Change Path.
// Paths may use '/' or '\' (projects made on Windows).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

// The new folder followed by the file name of the path (the part after its
// last separator).
std::string MoveToFolder(std::string_view path, std::string_view newFolder);

// When the path begins with oldFolder (ending at a separator or at the end
// of the path), the path with that beginning replaced by newFolder; a path
// that holds oldFolder anywhere else, or not at all, gives nothing.
std::optional<std::string> ReplaceLeadingFolder(std::string_view path, std::string_view oldFolder,
                                                std::string_view newFolder);

// Every path that begins with oldFolder gets newFolder instead (the others
// stay as they are); returns how many changed.
int ReplaceLeadingFolderInAll(std::vector<std::string>& paths, std::string_view oldFolder,
                              std::string_view newFolder);

// The folders of the paths (each cut after its last separator), each once,
// in the order of first appearance.
std::vector<std::string> DistinctFolders(const std::vector<std::string>& paths);

}  // namespace pcn
