#include "signing/tools/ToolSupport.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pcn::tools {
namespace {

std::atomic<bool> gInterrupted{false};

void onInterrupt(int) { gInterrupted.store(true); }

}  // namespace

bool interrupted() { return gInterrupted.load(); }

void installInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

ProcessResult runOsslsigncode(const std::vector<std::string>& arguments, bool echo) {
    ProcessOptions options;
    options.searchPath = true;
    // Stays in our process group: whoever ends us ends it too.
    options.newProcessGroup = false;
    if (echo)
        options.onOutput = [](const std::string& piece) {
            std::fwrite(piece.data(), 1, piece.size(), stdout);
            std::fflush(stdout);
        };
    ProcessResult result = runProcess("osslsigncode", arguments, options);
    if (!result.started)
        std::printf("Error: osslsigncode could not be started: %s\n", std::strerror(result.error));
    return result;
}

ScratchFolder::ScratchFolder(const std::filesystem::path& besideFile) {
    std::filesystem::path folder = besideFile.parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ".pcn-sign-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        path_ = pattern;
    else
        error_ = errno;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool replaceFile(const std::filesystem::path& replacement, const std::filesystem::path& target, int* error) {
    struct stat original {};
    bool keepMode = ::stat(target.c_str(), &original) == 0;
    int fd = ::open(replacement.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0 || (keepMode && ::fchmod(fd, original.st_mode & 07777) != 0)) {
        if (error) *error = errno;
        if (fd >= 0) ::close(fd);
        return false;
    }
    ::close(fd);
    if (::rename(replacement.c_str(), target.c_str()) != 0) {
        if (error) *error = errno;
        return false;
    }
    return true;
}

int failWith(const std::string& text, int exitCode) {
    std::printf("Error: %s\n", text.c_str());
    std::fflush(stdout);
    return exitCode;
}

}  // namespace pcn::tools
