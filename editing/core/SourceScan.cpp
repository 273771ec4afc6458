#include "editing/core/SourceScan.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
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

void ScanFolderInto(CCabObj& package, const std::string& folder, bool subFolders, ScanResult& result) {
    std::string base = withoutTrailingSeparator(folder);
    bool ok = false;
    std::vector<Entry> entries = listFolder(base, ok);
    if (!ok) {
        ++result.unreadable;
        return;
    }
    for (const Entry& e : entries) {
        std::string path = base + "/" + e.name;
        if (e.isFolder) {
            if (subFolders && e.name.front() != '.') ScanFolderInto(package, path, subFolders, result);
            continue;
        }
        package.AddFile(path);
        ++result.filesAdded;
        result.bytes += static_cast<int64_t>(e.size);
    }
}

ScanResult RescanSourceFolder(CCabObj& package, const std::string& folder, bool subFolders) {
    package.RemoveAllFiles();
    package.m_nSourceSize = 0;
    ScanResult result;
    ScanFolderInto(package, folder, subFolders, result);
    package.m_nSourceSize =
        static_cast<int32_t>(std::min<int64_t>(result.bytes, std::numeric_limits<int32_t>::max()));
    return result;
}

}  // namespace pcn
