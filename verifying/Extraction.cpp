#include "verifying/Extraction.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "building/SafeNames.h"
#include "platform/AtomicFile.h"
#include "verifying/CabinetSet.h"

namespace pcn::verifying {

namespace fs = std::filesystem;

namespace {

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The cabinet's date and time are local time on the machine that made it.
void setModificationTime(const std::string& path, const CabinetEntry& e) {
    std::tm tm{};
    tm.tm_year = e.year - 1900;
    tm.tm_mon = e.month - 1;
    tm.tm_mday = e.day;
    tm.tm_hour = e.hour;
    tm.tm_min = e.minute;
    tm.tm_sec = e.second;
    tm.tm_isdst = -1;
    const std::time_t when = std::mktime(&tm);
    if (when == static_cast<std::time_t>(-1)) return;
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

std::vector<std::string> unsafeEntryNames(const CabinetSet& set) {
    std::vector<std::string> unsafe;
    for (const CabinetEntry& e : set.entries()) {
        const std::string reason = UnsafeStoredNameReason(e.name);
        if (!reason.empty()) unsafe.push_back(e.name + " (" + reason + ")");
    }
    return unsafe;
}

std::string extractionPath(const std::string& folder, const std::string& storedName) {
    fs::path path(folder);
    size_t at = 0;
    for (;;) {
        const size_t end = storedName.find('\\', at);
        path /= storedName.substr(at, end == std::string::npos ? end : end - at);
        if (end == std::string::npos) return path.string();
        at = end + 1;
    }
}

ExtractionReport extractAll(CabinetSet& set, const std::string& folder, const ExtractionProgress& progress) {
    ExtractionReport report;
    report.unsafe = unsafeEntryNames(set);
    if (!report.unsafe.empty()) return report;

    const mode_t mask = currentUmask();
    const uint64_t total = set.totalSize();
    uint64_t done = 0;
    const auto& entries = set.entries();
    for (size_t i = 0; i < entries.size() && !report.cancelled; ++i) {
        const CabinetEntry& e = entries[i];
        const std::string target = extractionPath(folder, e.name);
        std::error_code ec;
        fs::create_directories(fs::path(target).parent_path(), ec);
        std::string temporary;
        const int fd = ec ? -1 : createHiddenTemporary(target, temporary);
        if (fd < 0) {
            report.failures.push_back(e.name + ": cannot be created in " + fs::path(target).parent_path().string() +
                                      ": " + (ec ? ec.message() : std::strerror(errno)));
            continue;
        }
        bool written = true;
        std::string problem;
        const bool ok = set.extract(i, [&](std::string_view data) {
            done += data.size();
            if (progress && !progress(done, total, e.name)) {
                report.cancelled = true;
                return false;
            }
            if (!writeAll(fd, data)) {
                written = false;
                problem = std::strerror(errno);
                return false;
            }
            return true;
        }, problem);
        const mode_t mode = (e.attributes & 0x01) ? 0444 : 0666;
        const bool modeSet = ::fchmod(fd, mode & ~mask) == 0;
        const bool closed = ::close(fd) == 0 && modeSet;
        if (!ok || !written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
            ::unlink(temporary.c_str());
            if (!report.cancelled)
                report.failures.push_back(e.name + ": " + (ok && written ? std::string(std::strerror(errno)) : problem));
            continue;
        }
        setModificationTime(target, e);
        report.written.push_back(target);
    }
    return report;
}

}  // namespace pcn::verifying
