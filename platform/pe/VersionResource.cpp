#include "platform/pe/VersionResource.h"

#include <cstdio>

#include "platform/pe/Bytes.h"
#include "platform/pe/Text.h"

namespace pcn::pe {
namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr size_t kNodeHeaderSize = 6;  // wLength, wValueLength, wType

size_t alignUp4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// One block of the resource: a key, a value and child blocks, all within the
// block's own length. Offsets are relative to the resource, whose blocks are
// aligned on 32-bit boundaries from its start.
struct Block {
    size_t start = 0;
    size_t end = 0;
    std::string_view keyBytes;  // UTF-16, without its NUL
    size_t valueStart = 0;
    size_t valueLength = 0;  // as declared (bytes for binary values, characters for text)
    bool isText = false;
    size_t childrenStart = 0;
};

std::optional<Block> readBlock(std::string_view data, size_t start, size_t limit) {
    auto header = slice(data, start, kNodeHeaderSize);
    if (!header) return std::nullopt;
    size_t length = le16(header->data());
    if (length < kNodeHeaderSize || length > limit - start) return std::nullopt;
    Block block;
    block.start = start;
    block.end = start + length;
    block.valueLength = le16(header->data() + 2);
    block.isText = le16(header->data() + 4) == 1;
    std::string_view inside = data.substr(start + kNodeHeaderSize, length - kNodeHeaderSize);
    size_t keyUnits = utf16Length(inside);
    block.keyBytes = inside.substr(0, keyUnits * 2);
    size_t keyEnd = start + kNodeHeaderSize + keyUnits * 2 + 2;  // past the NUL
    block.valueStart = std::min(alignUp4(keyEnd), block.end);
    size_t valueBytes = block.isText ? block.valueLength * 2 : block.valueLength;
    block.childrenStart = std::min(alignUp4(block.valueStart + valueBytes), block.end);
    return block;
}

std::optional<Block> findChild(std::string_view data, const Block& parent, std::string_view key) {
    size_t at = parent.childrenStart;
    while (at + kNodeHeaderSize <= parent.end) {
        auto child = readBlock(data, at, parent.end);
        if (!child) return std::nullopt;
        if (equalsIgnoringAsciiCase(utf16ToUtf8(child->keyBytes), key)) return child;
        at = alignUp4(child->end);
    }
    return std::nullopt;
}

std::optional<Block> findPath(std::string_view data, std::initializer_list<std::string_view> path) {
    auto block = readBlock(data, 0, data.size());
    for (std::string_view key : path) {
        if (!block) return std::nullopt;
        block = findChild(data, *block, key);
    }
    return block;
}

std::string_view valueBytes(std::string_view data, const Block& block) {
    return data.substr(block.valueStart, block.end - block.valueStart);
}

}  // namespace

std::optional<VersionResource> VersionResource::parse(std::string_view data) {
    if (!readBlock(data, 0, data.size())) return std::nullopt;
    return VersionResource(data);
}

std::optional<FixedFileInfo> VersionResource::fixedInfo() const {
    auto root = readBlock(data_, 0, data_.size());
    if (!root || root->valueLength < 52) return std::nullopt;
    auto value = slice(valueBytes(data_, *root), 0, 52);
    if (!value || le32(value->data()) != kFixedSignature) return std::nullopt;
    const char* p = value->data();
    FixedFileInfo info;
    auto split = [](uint32_t high, uint32_t low, uint16_t (&out)[4]) {
        out[0] = static_cast<uint16_t>(high >> 16);
        out[1] = static_cast<uint16_t>(high);
        out[2] = static_cast<uint16_t>(low >> 16);
        out[3] = static_cast<uint16_t>(low);
    };
    split(le32(p + 8), le32(p + 12), info.fileVersion);
    split(le32(p + 16), le32(p + 20), info.productVersion);
    info.fileFlags = le32(p + 28) & le32(p + 24);
    info.fileOs = le32(p + 32);
    info.fileType = le32(p + 36);
    return info;
}

std::vector<Translation> VersionResource::translations() const {
    std::vector<Translation> pairs;
    auto block = findPath(data_, {"VarFileInfo", "Translation"});
    if (!block) return pairs;
    std::string_view value = valueBytes(data_, *block).substr(0, block->valueLength);
    for (size_t at = 0; at + 4 <= value.size(); at += 4)
        pairs.push_back({le16(value.data() + at), le16(value.data() + at + 2)});
    return pairs;
}

std::optional<std::string> VersionResource::stringValue(std::string_view tableKey, std::string_view name) const {
    auto block = findPath(data_, {"StringFileInfo", tableKey, name});
    if (!block) return std::nullopt;
    return utf16ToUtf8(valueBytes(data_, *block));
}

std::string stringTableKey(const Translation& translation) {
    char key[9];
    std::snprintf(key, sizeof key, "%04hX%04hX", translation.language, translation.codePage);
    return key;
}

ComponentVersion componentVersion(const VersionResource& resource) {
    ComponentVersion version;
    auto pairs = resource.translations();
    if (pairs.empty()) return version;
    version.translation = pairs.front();
    std::string key = stringTableKey(pairs.front());
    version.fileVersion = resource.stringValue(key, "FileVersion").value_or("");
    version.oleSelfRegister = resource.stringValue(key, "OLESelfRegister").has_value();
    return version;
}

}  // namespace pcn::pe
