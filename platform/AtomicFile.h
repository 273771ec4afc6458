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

WriteResult writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                mode_t mode = kDefaultMode);

// Reads a whole file. Returns false and sets error (errno) when it cannot.
bool readWholeFile(const std::filesystem::path& file, std::string& bytes, int* error = nullptr);

}  // namespace pcn
