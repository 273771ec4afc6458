#include "model/Digest.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/SettingsStore.h"

namespace pcn {

std::string_view digestToken(int32_t digest) {
    if (digest == kDigestSha256) return "sha256";
    return digest ? "md5" : "sha1";
}

std::optional<int32_t> digestFromToken(std::string_view token) {
    std::string lower(token);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (int32_t digest : {kDigestMd5, kDigestSha1, kDigestSha256})
        if (lower == digestToken(digest)) return digest;
    return std::nullopt;
}

std::string_view digestText(int32_t digest, std::string_view sha1Text) {
    if (digest == kDigestSha256) return "SHA-256";
    return digest ? "MD5" : sha1Text;
}

int32_t defaultDigest(const SettingsStore& settings) {
    int32_t digest = settings.readInt(kDigestSection, kDigestValue, kDigestSha256);
    return digest == kDigestSha1 || digest == kDigestMd5 ? digest : kDigestSha256;
}

}  // namespace pcn
