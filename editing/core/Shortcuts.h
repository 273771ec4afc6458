#pragma once
// Shortcuts of a package's mini setup: which file of the package a shortcut
// starts, named the way the installed package will find it.

#include <cstdint>
#include <string>
#include <string_view>

namespace pcn {

// The shortcut file for one of the package's files: its path below the
// source folder when it lies there (with "\" separators, as the cabinet
// stores such names and the Windows setup reads them), else its file name.
// Only a path that begins with the source folder is made relative.
std::string ShortcutFileFor(std::string_view path, std::string_view sourceFolder);

// The "Shortcut Type" list of the editors: Common Programs, Personal
// Programs, Startup Programs, stored as the shell folder numbers 23, 2, 7.
int32_t ShortcutFolderForTypeIndex(int index);
// The list index of a stored shell folder number; 0 for any other number.
int ShortcutTypeIndexForFolder(int32_t folder);

}  // namespace pcn
