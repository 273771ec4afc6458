#include "editing/core/SourceScan.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "model/CCabObj.h"

namespace pcn {
namespace fs = std::filesystem;

namespace {

struct Entry {
    std::string name;
    bool isFolder = false;
    uint64_t size = 0;
};

// Directory order is arbitrary on Linux; name order makes builds repeatable.
std::vector<Entry> listFolder(const fs::path& folder, bool& ok) {
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    ok = !ec;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        Entry e;
        e.name = it->path().filename().string();
        std::error_code statError;
        e.isFolder = it->is_directory(statError);
        if (!e.isFolder) {
            if (!it->is_regular_file(statError)) continue;  // sockets, fifos, dangling links
            e.size = it->file_size(statError);
        }
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

std::string withoutTrailingSeparator(std::string folder) {
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

}  // namespace

bool IsReadableFolder(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(withoutTrailingSeparator(folder), ec);
    return !ec;
}

namespace {

// Folders already scanned, by device and inode: a link back to one of them
// (x -> ., or two folders linking to each other) is a loop, not a new folder.
using FolderIds = std::set<std::pair<dev_t, ino_t>>;

void scanFolder(CCabObj& package, const std::string& base, bool subFolders, ScanResult& result, FolderIds& seen,
                ScanWatch* watch) {
    if (watch && watch->onFolder) watch->onFolder(base, result.filesAdded);
    if (watch && watch->stop) {
        result.stopped = true;
        return;
    }
    struct stat st {};
    if (::stat(base.c_str(), &st) != 0) {
        ++result.unreadable;
        return;
    }
    if (!seen.insert({st.st_dev, st.st_ino}).second) {
        result.loops.push_back(base);
        return;
    }
    bool ok = false;
    std::vector<Entry> entries = listFolder(base, ok);
    if (!ok) {
        ++result.unreadable;
        return;
    }
    for (const Entry& e : entries) {
        std::string path = base + "/" + e.name;
        if (e.isFolder) {
            if (subFolders && e.name.front() != '.') scanFolder(package, path, subFolders, result, seen, watch);
            if (result.stopped) return;
            continue;
        }
        package.AddFile(path);
        ++result.filesAdded;
        result.bytes += static_cast<int64_t>(e.size);
    }
}

}  // namespace

void ScanFolderInto(CCabObj& package, const std::string& folder, bool subFolders, ScanResult& result,
                    ScanWatch* watch) {
    FolderIds seen;
    scanFolder(package, withoutTrailingSeparator(folder), subFolders, result, seen, watch);
}

ScanResult RescanSourceFolder(CCabObj& package, const std::string& folder, bool subFolders, ScanWatch* watch) {
    package.RemoveAllFiles();
    package.m_nSourceSize = 0;
    ScanResult result;
    ScanFolderInto(package, folder, subFolders, result, watch);
    package.m_nSourceSize =
        static_cast<int32_t>(std::min<int64_t>(result.bytes, std::numeric_limits<int32_t>::max()));
    return result;
}

}  // namespace pcn
