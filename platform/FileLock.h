#pragma once
// An exclusive advisory lock (flock) on a lock file, held for the object's
// life. Read-modify-write of a file shared between processes (the settings,
// a project file) takes it around the read and the atomic write, so that two
// writers cannot both start from the same old contents.

#include <string>

namespace pcn {

class FileLock {
public:
    // Blocks until the lock is held; ok() is false when the lock file cannot
    // be opened or created (errno tells why).
    explicit FileLock(const std::string& lockFile);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool ok() const { return fd_ >= 0; }

    // The lock file that guards a user's file: hidden, beside it.
    static std::string besideFile(const std::string& file);

private:
    int fd_ = -1;
};

}  // namespace pcn
