#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <ctime>
#include <cstdint>
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

// A temporary of ours nobody holds open any more, and not one that was just
// made (its maker locks it right after creating it).
bool isStaleTemporary(const std::filesystem::path& file) {
    constexpr time_t kGraceSeconds = 10;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                 st.st_mtime + kGraceSeconds < ::time(nullptr) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return stale;
}

void removeStaleTemporaries(const std::filesystem::path& folder, const std::string& prefix) {
    constexpr size_t kRandomPart = 6;  // mkstemp's XXXXXX
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + kRandomPart && name.starts_with(prefix) && isStaleTemporary(it->path()))
            ::unlink(it->path().c_str());
    }
}

// Puts the finished temporary file at target without replacing anything:
// renameat2 where the file system knows it, else a hard link (which fails
// when target exists) and the temporary name dropped.
int placeWithoutReplacing(const std::string& temporary, const std::filesystem::path& target) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (::link(temporary.c_str(), target.c_str()) != 0) return errno;
    ::unlink(temporary.c_str());
    return 0;
}

WriteResult writeFile(const std::filesystem::path& target, std::string_view bytes, mode_t mode, bool replace) {
    std::string pattern;
    int fd = createHiddenTemporary(target, pattern);
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
    if (err == 0) {
        if (replace)
            err = ::rename(pattern.c_str(), target.c_str()) == 0 ? 0 : errno;
        else
            err = placeWithoutReplacing(pattern, target);
    }
    if (err != 0) {
        ::unlink(pattern.c_str());
        return {false, err};
    }
    return {true, 0};
}

}  // namespace

int createHiddenTemporary(const std::filesystem::path& target, std::string& temporaryPath) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const std::string prefix = "." + target.filename().string() + ".";
    removeStaleTemporaries(folder, prefix);
    temporaryPath = (folder / (prefix + "XXXXXX")).string();
    const int fd = ::mkostemp(temporaryPath.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    ::flock(fd, LOCK_EX);
    return fd;
}

WriteResult writeFileAtomically(const std::filesystem::path& target, std::string_view bytes, mode_t mode) {
    return writeFile(target, bytes, mode, true);
}

WriteResult createFileAtomically(const std::filesystem::path& target, std::string_view bytes, mode_t mode) {
    return writeFile(target, bytes, mode, false);
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

bool readRegularFile(const std::string& path, std::string& bytes, int& error, size_t maxSize) {
    bytes.clear();
    // Non-blocking, so that opening a FIFO does not wait for a writer; the
    // type is then checked on the open descriptor itself.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat st {};
    error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    else if (static_cast<uint64_t>(st.st_size) > maxSize)
        error = EFBIG;
    if (error == 0) {
        bytes.reserve(static_cast<size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR) continue;
                error = errno;
                break;
            }
            if (n == 0) break;
            bytes.append(buffer, static_cast<size_t>(n));
            if (bytes.size() > maxSize) {  // grew while we read
                error = EFBIG;
                break;
            }
        }
    }
    ::close(fd);
    if (error != 0) bytes.clear();
    return error == 0;
}

}  // namespace pcn
