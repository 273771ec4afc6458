#pragma once
// How a package compresses beyond "Use Compression": MSZIP, or LZX with a
// window of 2^15 to 2^21 bytes, and the program-wide levels of both methods.
//
// The package file has no member for the method. It is kept in the record's
// reserved string as "LZX:<window bits>": readers that do not know it load
// and save it unchanged, and an MSZIP package keeps that string empty, so its
// file stays byte-identical.

#include <string>

namespace pcn {

class CCabObj;
class SettingsStore;

struct CompressionMethod {
    bool lzx = false;
    unsigned windowBits = 21;  // 15..21, for LZX
};

inline constexpr unsigned kLzxSmallestWindow = 15;
inline constexpr unsigned kLzxLargestWindow = 21;

CompressionMethod compressionMethodOf(const CCabObj& package);
void setCompressionMethod(CCabObj& package, const CompressionMethod& method);

// Program-wide levels, 1 (fastest) to 9 (smallest), in Settings\Compression.
inline constexpr const char* kCompressionSection = "Settings\\Compression";
inline constexpr const char* kMszipLevelValue = "MSZIP Level";
inline constexpr const char* kLzxLevelValue = "LZX Level";
inline constexpr int kDefaultCompressionLevel = 5;

struct CompressionLevels {
    int mszip = kDefaultCompressionLevel;
    int lzx = kDefaultCompressionLevel;
};
CompressionLevels readCompressionLevels(const SettingsStore& settings);
bool writeCompressionLevels(SettingsStore& settings, const CompressionLevels& levels);

}  // namespace pcn
