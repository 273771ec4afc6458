#pragma once
// Whole-file writes that never leave a half-written or stale-tailed file:
// the bytes go to a temporary file in the target's folder, are flushed, and
// the temporary file is renamed over the target.

#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace pcn {

struct WriteResult {
    bool ok = false;
    int error = 0;  // errno of the failing step when !ok
};

// Permission bits for files that hold secrets (passwords typed by the user).
inline constexpr mode_t kOwnerOnly = 0600;
// Ordinary files honour the process umask.
inline constexpr mode_t kDefaultMode = 0666;

// Creates the hidden temporary file a new version of target is written to
// before it is renamed into place: "." + target's name + ".XXXXXX", beside
// it, owner-only. The descriptor holds a lock for as long as it is open, so
// that the same call for the same target removes temporaries left behind by
// a process that died (kill -9, power loss) without touching one another
// process is still writing. -1 with errno when it cannot be created.
int createHiddenTemporary(const std::filesystem::path& target, std::string& temporaryPath);

WriteResult writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                mode_t mode = kDefaultMode);

// The same for a file that must not exist yet: fails with EEXIST, leaving
// the existing file untouched, when another writer got there first.
WriteResult createFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                 mode_t mode = kDefaultMode);

// Reads a whole file a user handed us, which may be anything: only regular
// files are read, opened without blocking (a FIFO cannot hang us) and none
// larger than maxSize. False with errno in error: ENOENT and the like, EISDIR
// for a folder, EINVAL for anything else that is not a regular file, EFBIG
// when too large (also when it grows past maxSize while read).
bool readRegularFile(const std::string& path, std::string& bytes, int& error, size_t maxSize);

// Reads a whole file. Returns false and sets error (errno) when it cannot.
bool readWholeFile(const std::filesystem::path& file, std::string& bytes, int* error = nullptr);

}  // namespace pcn
