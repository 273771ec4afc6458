#pragma once
// Reading the files records are kept in (package, project and FTP site
// files), which a user may hand us from anywhere: only regular files are
// read, and none larger than a limit far above any real one, so that a path
// naming a device, a pipe or a huge file cannot hang or exhaust the program.

#include <cstddef>
#include <string>

namespace pcn {

inline constexpr size_t kMaxRecordFileSize = 64u * 1024 * 1024;

// False with errno in error: ENOENT and the like, EISDIR for a folder,
// EINVAL for anything else that is not a regular file, EFBIG when too large.
bool readRecordFile(const std::string& path, std::string& bytes, int& error,
                    size_t maxSize = kMaxRecordFileSize);

}  // namespace pcn
