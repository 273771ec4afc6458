#pragma once
// A ready-made client side of the compressor's callback contract over POSIX
// file descriptors and the C heap, shared by the cabinet writer, the command
// line and the tests.
//
// Cabinet files (opened with O_CREAT|O_TRUNC and without O_EXCL) are written
// to a temporary file in the same folder that replaces the cabinet only when
// it is closed complete, so a failed build never leaves a half-written
// cabinet and never destroys the previous one. Removing a cabinet while it is
// open discards the temporary file.

#include <cstdint>
#include <ctime>
#include <optional>
#include <sys/stat.h>

#include "cabinet/CabinetCompressor.h"

namespace pcn::cabinet {

// The file, memory and temporary-file callbacks. The client context is not
// used by them.
CabinetCallbacks posixCallbacks();

// File information: DOS date and time of the last modification in local time
// (or of SOURCE_DATE_EPOCH when that is set, for reproducible cabinets),
// attributes mapped from the file (read-only when the owner cannot write),
// then the file opened read-only.
FileHandle posixFileInfo(const char* path, uint16_t* dosDate, uint16_t* dosTime, uint16_t* attributes, int* error,
                         void* client);

// SOURCE_DATE_EPOCH from the environment, when set to a number.
std::optional<time_t> sourceDateEpoch();

// Local DOS date and time; times before 1980 give 1980-01-01 00:00:00.
void toDosDateTime(time_t when, uint16_t* dosDate, uint16_t* dosTime);

// Windows attributes of a file: read-only (0x01) when the owner cannot write,
// hidden (0x02) for dot files, archive (0x20) always; masked with 0x27.
uint16_t windowsAttributes(const char* path, const struct stat& info);

}  // namespace pcn::cabinet
