#include "model/CompressionChoice.h"

#include <algorithm>

#include "model/CCabObj.h"
#include "platform/SettingsStore.h"

namespace pcn {

namespace {

constexpr const char* kLzxPrefix = "LZX:";

bool isOurs(const std::string& reserved) { return reserved.rfind(kLzxPrefix, 0) == 0; }

int clampLevel(int level) { return std::clamp(level, 1, 9); }

}  // namespace

CompressionMethod compressionMethodOf(const CCabObj& package) {
    CompressionMethod method;
    const std::string& reserved = package.m_strReserved;
    if (!isOurs(reserved)) return method;
    const std::string bits = reserved.substr(4);
    if (bits.size() != 2 || !std::all_of(bits.begin(), bits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return method;
    const unsigned window = unsigned(std::stoi(bits));
    if (window < kLzxSmallestWindow || window > kLzxLargestWindow) return method;
    method.lzx = true;
    method.windowBits = window;
    return method;
}

void setCompressionMethod(CCabObj& package, const CompressionMethod& method) {
    if (method.lzx) {
        const unsigned bits = std::clamp(method.windowBits, kLzxSmallestWindow, kLzxLargestWindow);
        package.m_strReserved = kLzxPrefix + std::to_string(bits);
    } else if (isOurs(package.m_strReserved)) {
        package.m_strReserved.clear();
    }
}

CompressionLevels readCompressionLevels(const SettingsStore& settings) {
    CompressionLevels levels;
    levels.mszip = clampLevel(settings.readInt(kCompressionSection, kMszipLevelValue, kDefaultCompressionLevel));
    levels.lzx = clampLevel(settings.readInt(kCompressionSection, kLzxLevelValue, kDefaultCompressionLevel));
    return levels;
}

bool writeCompressionLevels(SettingsStore& settings, const CompressionLevels& levels) {
    return settings.writeInt(kCompressionSection, kMszipLevelValue, clampLevel(levels.mszip)) &&
           settings.writeInt(kCompressionSection, kLzxLevelValue, clampLevel(levels.lzx));
}

}  // namespace pcn
