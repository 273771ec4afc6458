#pragma once
// Names inside one cabinet set must differ as Windows compares them: two
// entries that an extractor takes for the same file would overwrite each
// other on the user's machine. A build and `parcelon cab` refuse such a set
// before anything is written, naming every clash.

#include <string>
#include <string_view>
#include <vector>

namespace pcn {

class CCabObj;

// A file about to go into a cabinet: where it is read from and the name it
// is stored under ('\' between folders).
struct CabinetEntry {
    std::string source;
    std::string stored;
};

struct NameCollision {
    std::string stored;                // the name as the first of them is stored
    std::vector<std::string> sources;  // every source stored under that name, in order
};

// The key under which Windows finds a stored name: each component in upper
// case (Unicode simple case mapping) without the trailing dots and blanks
// that Windows drops from file names.
std::string windowsNameKey(std::string_view stored);

// The entries whose stored names clash, in the order their names first occur.
std::vector<NameCollision> FindNameCollisions(const std::vector<CabinetEntry>& entries);

// What a build of the package puts into its cabinet set, in the order the
// build adds it: "pcn.cfg" and the licence of a wizard, the file table, the
// copy of the INF when the cabinet carries it, the mini setup.
std::vector<CabinetEntry> PlannedCabinetEntries(const CCabObj& package);

// One message naming every clash with its sources, and how to resolve it.
std::string NameCollisionsMessage(const std::vector<NameCollision>& collisions, std::string_view remedy);

// How a package resolves a clash.
inline constexpr std::string_view kPackageCollisionRemedy =
    "Turn on Restore Directory Structure, so that each file keeps its folder, or remove one of the files "
    "from the package.";

}  // namespace pcn
