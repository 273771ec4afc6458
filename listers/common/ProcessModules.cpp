#include "listers/common/ProcessModules.h"

#include <cctype>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <unistd.h>

#include "listers/common/Handshake.h"

namespace pcn::listers {
namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";
constexpr std::string_view kMemfdPrefix = "/memfd:";

std::optional<std::string> readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The path column of one maps line: everything after the fifth field.
std::string_view pathOfLine(std::string_view line) {
    size_t at = 0;
    for (int field = 0; field < 5; ++field) {
        while (at < line.size() && line[at] == ' ') ++at;
        while (at < line.size() && line[at] != ' ') ++at;
    }
    while (at < line.size() && line[at] == ' ') ++at;
    return line.substr(at);
}

// The name an image is listed under, or empty when the mapping is no image
// (anonymous memory, stack, devices, other memory files).
std::string imageNameOf(std::string_view path) {
    if (path.empty() || path.front() != '/') return {};
    bool deleted = path.ends_with(kDeletedSuffix);
    if (deleted) path.remove_suffix(kDeletedSuffix.size());
    if (path.starts_with(kMemfdPrefix)) {
        path.remove_prefix(kMemfdPrefix.size());
        if (!path.starts_with(kUnresolvedPrefix)) return {};
        path.remove_prefix(std::string_view(kUnresolvedPrefix).size());
        return std::string(path);
    }
    if (path.starts_with("/dev/")) return {};
    size_t slash = path.rfind('/');
    return std::string(path.substr(slash + 1));
}

bool allDigits(const char* text) {
    if (!*text) return false;
    for (; *text; ++text)
        if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
    return true;
}

}  // namespace

std::vector<std::string> imageNamesFromMaps(std::string_view maps) {
    std::vector<std::string> names;
    std::set<std::string, std::less<>> seenPaths;
    while (!maps.empty()) {
        size_t end = maps.find('\n');
        std::string_view line = maps.substr(0, end);
        maps.remove_prefix(end == std::string_view::npos ? maps.size() : end + 1);
        std::string_view path = pathOfLine(line);
        std::string name = imageNameOf(path);
        if (name.empty() || !seenPaths.emplace(path).second) continue;
        names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> mappedImageNames(pid_t pid) {
    auto maps = readWhole("/proc/" + std::to_string(pid) + "/maps");
    return maps ? imageNamesFromMaps(*maps) : std::vector<std::string>{};
}

std::optional<std::string> processName(pid_t pid) {
    auto comm = readWhole("/proc/" + std::to_string(pid) + "/comm");
    if (!comm) return std::nullopt;
    while (!comm->empty() && comm->back() == '\n') comm->pop_back();
    return comm;
}

std::optional<std::string> mainModuleName(pid_t pid) {
    std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char target[4096];
    ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return std::nullopt;
    std::string_view path(target, static_cast<size_t>(length));
    if (path.ends_with(kDeletedSuffix)) path.remove_suffix(kDeletedSuffix.size());
    size_t slash = path.rfind('/');
    return std::string(path.substr(slash == std::string_view::npos ? 0 : slash + 1));
}

bool isHostName(std::string_view name) {
    auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    return same(name, kHostProgram) || same(name, kHostImageName);
}

bool processListAvailable() { return ::access("/proc/self/maps", R_OK) == 0; }

std::vector<pid_t> processSnapshot() {
    std::vector<pid_t> pids;
    DIR* proc = ::opendir("/proc");
    if (!proc) return pids;
    while (dirent* entry = ::readdir(proc))
        if (allDigits(entry->d_name)) pids.push_back(static_cast<pid_t>(std::stol(entry->d_name)));
    ::closedir(proc);
    return pids;
}

}  // namespace pcn::listers
