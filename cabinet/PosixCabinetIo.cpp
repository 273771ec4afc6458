#include "cabinet/PosixCabinetIo.h"

#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace pcn::cabinet {

namespace {

struct PendingCabinet {
    std::string temporary;
    std::string target;
    bool discard = false;
};

// Cabinets being written, by descriptor.
std::mutex pendingMutex;
std::map<int, PendingCabinet>& pendingCabinets() {
    static std::map<int, PendingCabinet> pending;
    return pending;
}

void* heapAllocate(size_t bytes, void*) { return std::malloc(bytes); }
void heapFree(void* memory, void*) { std::free(memory); }

FileHandle openCabinet(const char* path, int mode, int* error) {
    std::string target = path;
    std::string pattern;
    const int fd = createHiddenTemporary(target, pattern);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, mode_t(mode) & ~mask);
    std::lock_guard lock(pendingMutex);
    pendingCabinets()[fd] = PendingCabinet{pattern, target, false};
    return fd;
}

// The compressor's scratch files have no name on disk (O_TMPFILE, else
// created and unlinked at once), so that a killed build leaves nothing
// behind in the temporary folder. Their names only stand for them until
// the compressor removes them.
std::mutex scratchMutex;
std::set<std::string>& scratchNames() {
    static std::set<std::string> names;
    return names;
}

bool isScratchName(const char* path) {
    std::lock_guard lock(scratchMutex);
    return scratchNames().count(path) != 0;
}

FileHandle openScratch(const char* path, int* error) {
    const std::string name = path;
    const std::string folder = name.substr(0, name.rfind('/') + 1);
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {  // a file system without O_TMPFILE
        fd = ::open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) ::unlink(path);
    }
    if (fd < 0) *error = errno;
    return fd;
}

FileHandle posixOpen(const char* path, int flags, int mode, int* error, void*) {
    if ((flags & O_CREAT) && (flags & O_TRUNC) && !(flags & O_EXCL)) return openCabinet(path, mode, error);
    if ((flags & O_CREAT) && isScratchName(path)) return openScratch(path, error);
    int fd;
    do fd = ::open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) *error = errno;
    return fd;
}

uint32_t posixRead(FileHandle file, void* buffer, uint32_t count, int* error, void*) {
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(int(file), static_cast<char*>(buffer) + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            *error = errno;
            break;
        }
        if (n == 0) break;
        done += uint32_t(n);
    }
    return done;
}

uint32_t posixWrite(FileHandle file, const void* buffer, uint32_t count, int* error, void*) {
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(int(file), static_cast<const char*>(buffer) + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            *error = errno;
            break;
        }
        done += uint32_t(n);
    }
    return done;
}

int posixClose(FileHandle file, int* error, void*) {
    std::optional<PendingCabinet> cabinet;
    {
        std::lock_guard lock(pendingMutex);
        auto it = pendingCabinets().find(int(file));
        if (it != pendingCabinets().end()) {
            cabinet = it->second;
            pendingCabinets().erase(it);
        }
    }
    int result = 0;
    if (cabinet && !cabinet->discard && ::fsync(int(file)) != 0) {
        *error = errno;
        result = -1;
    }
    if (::close(int(file)) != 0 && result == 0) {
        *error = errno;
        result = -1;
    }
    if (cabinet) {
        if (cabinet->discard || result != 0) {
            ::unlink(cabinet->temporary.c_str());
        } else if (::rename(cabinet->temporary.c_str(), cabinet->target.c_str()) != 0) {
            *error = errno;
            ::unlink(cabinet->temporary.c_str());
            result = -1;
        }
    }
    return result;
}

int64_t posixSeek(FileHandle file, int64_t offset, int whence, int* error, void*) {
    const off_t at = ::lseek(int(file), off_t(offset), whence);
    if (at < 0) *error = errno;
    return at;
}

int posixRemove(const char* path, int* error, void*) {
    {
        std::lock_guard lock(scratchMutex);
        if (scratchNames().erase(path) != 0) return 0;  // unnamed already
    }
    {
        std::lock_guard lock(pendingMutex);
        for (auto& [fd, cabinet] : pendingCabinets()) {
            if (cabinet.target == path && !cabinet.discard) {
                cabinet.discard = true;
                return 0;
            }
        }
    }
    if (::unlink(path) != 0) {
        *error = errno;
        return -1;
    }
    return 0;
}

bool posixTemporaryName(char* buffer, int size, void*) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/PCNXXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(pattern.c_str());  // the caller creates it exclusively
    if (pattern.size() + 1 > size_t(size)) return false;
    std::memcpy(buffer, pattern.c_str(), pattern.size() + 1);
    std::lock_guard lock(scratchMutex);
    scratchNames().insert(pattern);
    return true;
}

}  // namespace

CabinetCallbacks posixCallbacks() {
    CabinetCallbacks c;
    c.filePlaced = [](const CabinetParams*, const char*, uint32_t, bool, void*) { return 0; };
    c.allocate = heapAllocate;
    c.release = heapFree;
    c.open = posixOpen;
    c.read = posixRead;
    c.write = posixWrite;
    c.close = posixClose;
    c.seek = posixSeek;
    c.remove = posixRemove;
    c.temporaryFileName = posixTemporaryName;
    return c;
}

std::optional<time_t> sourceDateEpoch() {
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (!value || !*value) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(value, &end, 10);
    if (errno != 0 || *end != 0 || seconds < 0) return std::nullopt;
    return time_t(seconds);
}

void toDosDateTime(time_t when, uint16_t* dosDate, uint16_t* dosTime) {
    struct tm local{};
    if (!::localtime_r(&when, &local) || local.tm_year < 80) {
        *dosDate = (0 << 9) | (1 << 5) | 1;
        *dosTime = 0;
        return;
    }
    const int year = std::min(local.tm_year - 80, 127);
    *dosDate = uint16_t((year << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    *dosTime = uint16_t((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

uint16_t windowsAttributes(const char* path, const struct stat& info) {
    uint16_t attributes = 0x20;  // archive: not backed up since written
    if (!(info.st_mode & S_IWUSR)) attributes |= 0x01;
    const char* name = std::strrchr(path, '/');
    name = name ? name + 1 : path;
    if (name[0] == '.') attributes |= 0x02;
    return attributes & 0x27;
}

FileHandle posixFileInfo(const char* path, uint16_t* dosDate, uint16_t* dosTime, uint16_t* attributes, int* error,
                         void*) {
    int fd;
    // Non-blocking: a FIFO must be refused below, not wait for a writer.
    do fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    struct stat info{};
    if (::fstat(fd, &info) != 0) {
        *error = errno;
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        *error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    const time_t stamp = sourceDateEpoch().value_or(info.st_mtime);
    toDosDateTime(stamp, dosDate, dosTime);
    *attributes = windowsAttributes(path, info);
    return fd;
}

}  // namespace pcn::cabinet
