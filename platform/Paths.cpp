#include "platform/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/pe/Text.h"

namespace pcn {
namespace {

std::string fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string();
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// An installed program folder carries this marker: user files never go into
// the installation prefix, even when it happens to be writable (root).
bool isInstalledCopy(const std::string& programFolder) {
    struct stat st {};
    return ::stat((programFolder + "INSTALLED").c_str(), &st) == 0;
}

}  // namespace

std::string withTrailingSeparator(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string programFolder() {
    std::string overridden = fromEnvironment("PCN_PROGRAM_DIR");
    if (!overridden.empty()) return withTrailingSeparator(overridden);
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return withTrailingSeparator(exe.parent_path().string());
}

std::string dataFolder() {
    std::string folder = fromEnvironment("PCN_DATA_DIR");
    if (folder.empty()) {
        std::string program = programFolder();
        if (!isInstalledCopy(program) && ::access(program.c_str(), W_OK) == 0) return program;
        std::string xdg = fromEnvironment("XDG_DATA_HOME");
        if (xdg.empty()) xdg = fromEnvironment("HOME") + "/.local/share";
        folder = xdg + "/Parcelon";
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return withTrailingSeparator(folder);
}

std::string fileNamePart(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i)
        if (isSeparator(path[i - 1])) return std::string(path.substr(i));
    return std::string(path);
}

std::string folderPart(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i)
        if (isSeparator(path[i - 1])) return std::string(path.substr(0, i));
    return {};
}

bool fileExists(std::string_view path) {
    if (path.empty()) return false;
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0;
}

std::string findIgnoringCase(std::string_view folder, std::string_view relativePath) {
    std::filesystem::path found(folder);
    size_t start = 0;
    while (start <= relativePath.size()) {
        const size_t end = std::min(relativePath.find('/', start), relativePath.size());
        const std::string_view wanted = relativePath.substr(start, end - start);
        start = end + 1;
        if (wanted.empty()) continue;
        if (fileExists((found / wanted).string())) {
            found /= wanted;
            continue;
        }
        std::error_code ec;
        std::filesystem::path match;
        for (const auto& entry : std::filesystem::directory_iterator(found, ec))
            if (pe::equalsIgnoringAsciiCase(entry.path().filename().string(), wanted)) {
                match = entry.path();
                break;
            }
        if (match.empty()) return {};
        found = match;
    }
    return found.string();
}

}  // namespace pcn
