#include "platform/LibrarySearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace {

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), foldAscii);
    return result;
}

const char* wineMachineFolder(uint16_t machine) {
    switch (machine) {
        case kMachineI386: return "i386-windows";
        case kMachineAmd64: return "x86_64-windows";
        case kMachineArm64: return "aarch64-windows";
        case kMachineArmNt: return "arm-windows";
        default: return nullptr;
    }
}

// Where Debian, Fedora and the WineHQ packages put Wine's libraries.
const std::vector<std::string>& defaultWineRoots() {
    static const std::vector<std::string> roots = {
        "/usr/lib/x86_64-linux-gnu/wine", "/usr/lib/i386-linux-gnu/wine", "/usr/lib/aarch64-linux-gnu/wine",
        "/usr/lib/arm-linux-gnueabihf/wine", "/usr/lib64/wine", "/usr/lib/wine", "/usr/local/lib/wine",
        "/opt/wine-stable/lib64/wine", "/opt/wine-stable/lib/wine",
    };
    return roots;
}

}  // namespace

uint16_t nativeMachine() {
#if defined(__x86_64__)
    return kMachineAmd64;
#elif defined(__i386__)
    return kMachineI386;
#elif defined(__aarch64__)
    return kMachineArm64;
#elif defined(__arm__)
    return kMachineArmNt;
#else
    return 0;
#endif
}

std::string wineLibraryFolder(uint16_t machine, const std::vector<std::string>& roots) {
    const char* sub = wineMachineFolder(machine);
    if (!sub) return {};
    for (const std::string& root : roots.empty() ? defaultWineRoots() : roots) {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::path(root) / sub;
        if (std::filesystem::is_directory(folder, ec)) return withTrailingSeparator(folder.string());
    }
    return {};
}

std::string systemLibraryFolder(uint16_t machine, const SettingsStore& settings) {
    std::string configured = settings.readString(settings::kScanSection, settings::kSystemFolder, "");
    if (!configured.empty()) return withTrailingSeparator(configured);
    return wineLibraryFolder(machine);
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

bool isBareFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

const FolderLookup::Listing& FolderLookup::listing(const std::string& folder) {
    auto found = listings_.find(folder);
    if (found != listings_.end()) return found->second;
    Listing listing;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        listing.names.push_back(it->path().filename().string());
    std::sort(listing.names.begin(), listing.names.end());
    for (size_t i = 0; i < listing.names.size(); ++i) listing.folded.emplace(folded(listing.names[i]), i);
    return listings_.emplace(folder, std::move(listing)).first->second;
}

std::optional<std::string> FolderLookup::find(const std::string& folder, std::string_view name, bool ignoreCase) {
    if (folder.empty() || !isBareFileName(name)) return std::nullopt;
    const Listing& entries = listing(folder);
    std::string base = withTrailingSeparator(folder);
    if (std::binary_search(entries.names.begin(), entries.names.end(), name)) return base + std::string(name);
    if (!ignoreCase) return std::nullopt;
    std::string key = folded(name);
    auto match = entries.folded.lower_bound(key);  // equal keys keep name order
    if (match == entries.folded.end() || match->first != key) return std::nullopt;
    return base + entries.names[match->second];
}

}  // namespace pcn
