#include "model/RecordFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pcn {

bool readRecordFile(const std::string& path, std::string& bytes, int& error, size_t maxSize) {
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
