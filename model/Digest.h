#pragma once
// The signature digest a package asks for. The package file keeps its MD5
// member as it always was (1 MD5, 0 SHA 1); 2 asks for SHA-256, since Windows
// refuses MD5 Authenticode signatures and SmartScreen ignores SHA 1 ones.

#include <cstdint>
#include <optional>
#include <string_view>

namespace pcn {

class SettingsStore;

inline constexpr int32_t kDigestSha1 = 0;
inline constexpr int32_t kDigestMd5 = 1;
inline constexpr int32_t kDigestSha256 = 2;

// Where the user's default digest for new packages lives.
inline constexpr std::string_view kDigestSection = "Settings\\CodeSign";
inline constexpr std::string_view kDigestValue = "Digest";

// The tool's name for it ("md5", "sha1", "sha256"); any other non-zero value
// of an old file still means MD5.
std::string_view digestToken(int32_t digest);
// "md5", "sha1" or "sha256" (any case); nothing for other names.
std::optional<int32_t> digestFromToken(std::string_view token);
// How pages and reports name it; sha1Text is the page's own spelling of SHA 1.
std::string_view digestText(int32_t digest, std::string_view sha1Text = "SHA 1");
// The user's default for new packages: "Digest", SHA-256 unless set.
int32_t defaultDigest(const SettingsStore& settings);

}  // namespace pcn
