#pragma once
// Filling a package's file table from its source folder, as the Files page
// of the editors does.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pcn {

class CCabObj;

struct ScanResult {
    int filesAdded = 0;
    int64_t bytes = 0;   // total size of the files found
    int unreadable = 0;  // folders that could not be listed
    // Folders reached again through a link (a loop): not scanned a second time.
    std::vector<std::string> loops;
    // The scan was stopped through its watch: the file table holds only part
    // of the folder.
    bool stopped = false;
};

// Lets a scan that runs on another thread be followed and stopped.
struct ScanWatch {
    std::atomic<bool> stop{false};
    // Called on the scanning thread as each folder is begun.
    std::function<void(const std::string& folder, int filesSoFar)> onFolder;
};

// True when the folder can be listed (a trailing separator is allowed).
bool IsReadableFolder(const std::string& folder);

// Empties the file table and the source size, then adds every file of the
// source folder (and, when subFolders, of its sub-folders whose names do not
// begin with "."), in name order, a sub-folder scanned where it stands.
// Each folder is scanned once: one reached again through a link is listed
// in the result's loops instead.
// The source size becomes the total of the file sizes, clamped to the
// 32-bit field.
ScanResult RescanSourceFolder(CCabObj& package, const std::string& folder, bool subFolders,
                              ScanWatch* watch = nullptr);

// The scan itself: appends the files below folder to the file table and
// adds their sizes to result.bytes.
void ScanFolderInto(CCabObj& package, const std::string& folder, bool subFolders, ScanResult& result,
                    ScanWatch* watch = nullptr);

}  // namespace pcn
