#pragma once
// The version resource (VS_VERSIONINFO) of a component, queried the way
// VerQueryValue does: a path of block names such as
// "\StringFileInfo\040904B0\FileVersion", each compared ignoring ASCII case.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn::pe {

struct Translation {
    uint16_t language = 0;
    uint16_t codePage = 0;
};

// The numbers of VS_FIXEDFILEINFO, each as four 16-bit parts.
struct FixedFileInfo {
    uint16_t fileVersion[4] = {};
    uint16_t productVersion[4] = {};
    uint32_t fileFlags = 0;
    uint32_t fileOs = 0;
    uint32_t fileType = 0;
};

class VersionResource {
public:
    // The resource data as stored in the image; nullopt when its root block
    // does not fit.
    static std::optional<VersionResource> parse(std::string_view data);

    std::optional<FixedFileInfo> fixedInfo() const;
    // The pairs of "\VarFileInfo\Translation" in their order.
    std::vector<Translation> translations() const;
    // The value of "\StringFileInfo\<key>\<name>" as stored (UTF-8), up to its
    // first NUL; nullopt when the value is absent.
    std::optional<std::string> stringValue(std::string_view tableKey, std::string_view name) const;

private:
    explicit VersionResource(std::string_view data) : data_(data) {}
    std::string_view data_;
};

// "%04hX%04hX" of a translation pair: the key of its string table.
std::string stringTableKey(const Translation& translation);

// What the build and the web tools read from a component's version resource:
// the first translation pair, the FileVersion string of that pair's table as
// stored (empty when either is missing) and whether that table names
// "OLESelfRegister".
struct ComponentVersion {
    std::optional<Translation> translation;
    std::string fileVersion;
    bool oleSelfRegister = false;
};

ComponentVersion componentVersion(const VersionResource& resource);

}  // namespace pcn::pe
