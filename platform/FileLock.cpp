#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pcn {

FileLock::FileLock(const std::string& lockFile) {
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        errno = error;
        return;
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);
}

std::string FileLock::besideFile(const std::string& file) {
    const size_t slash = file.rfind('/');
    const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return file.substr(0, nameAt) + "." + file.substr(nameAt) + ".lock";
}

}  // namespace pcn
