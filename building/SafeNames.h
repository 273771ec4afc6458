#pragma once
// Names that no Windows extractor can write safely: the build refuses them
// before it writes anything, listing every offending file at once.

#include <string>
#include <string_view>
#include <vector>

namespace pcn {

class CCabObj;

struct UnsafeName {
    std::string path;    // the source file
    std::string reason;  // why its name cannot go into the cabinet
};

// Why a name stored in a cabinet ('\' between folders) cannot be written on
// Windows; empty when it can. Refused: a "." or ".." component, an empty
// component, ":", control characters, the characters Windows forbids in names
// (<>"|?*), the names Windows reserves for devices (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, with or without an extension) and text that is not UTF-8.
std::string UnsafeStoredNameReason(std::string_view stored);

// Why the file at sourcePath cannot go into a cabinet under `stored`: the
// stored name's reason, or a backslash in the Linux file name, which
// Windows would take for a folder. Empty when it can.
std::string UnsafeEntryReason(std::string_view sourcePath, std::string_view stored);

// The package's files (the file table and, for a wizard that shows one, the
// licence) whose names are unsafe, in table order.
std::vector<UnsafeName> FindUnsafeNames(const CCabObj& package);

// One message that lists every offending file with its reason.
std::string UnsafeNamesMessage(const std::vector<UnsafeName>& names);

}  // namespace pcn
