#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pcn {
namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

WriteResult writeFileAtomically(const std::filesystem::path& target, std::string_view bytes, mode_t mode) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {false, errno};

    // mkstemp creates 0600; widen to the requested mode less the umask so that
    // ordinary files look like any other file the user makes.
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t wanted = mode & ~mask;
    if (mode == kOwnerOnly) wanted = kOwnerOnly;

    int err = 0;
    if (::fchmod(fd, wanted) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(pattern.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(pattern.c_str());
        return {false, err};
    }
    return {true, 0};
}

bool readWholeFile(const std::filesystem::path& file, std::string& bytes, int* error) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = errno;
        return false;
    }
    bytes.clear();
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (error) *error = errno;
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace pcn
