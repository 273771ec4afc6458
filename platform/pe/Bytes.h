#pragma once
// Bounds-checked little-endian access to a file held in memory. Every read of
// a structure from a component first takes a slice of the structure's size;
// a slice that would reach past the end is refused, so the readers never touch
// memory outside the file whatever its offsets and counts say.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace pcn::pe {

inline uint16_t le16(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

inline uint32_t le32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

inline uint64_t le64(const char* p) { return le32(p) | (static_cast<uint64_t>(le32(p + 4)) << 32); }

// The bytes [offset, offset + length) of data, when they lie wholly inside it.
inline std::optional<std::string_view> slice(std::string_view data, uint64_t offset, uint64_t length) {
    if (offset > data.size() || length > data.size() - offset) return std::nullopt;
    return data.substr(static_cast<size_t>(offset), static_cast<size_t>(length));
}

// Everything from offset to the end of data.
inline std::optional<std::string_view> tail(std::string_view data, uint64_t offset) {
    if (offset > data.size()) return std::nullopt;
    return data.substr(static_cast<size_t>(offset));
}

inline std::optional<uint16_t> read16(std::string_view data, uint64_t offset) {
    auto s = slice(data, offset, 2);
    if (!s) return std::nullopt;
    return le16(s->data());
}

inline std::optional<uint32_t> read32(std::string_view data, uint64_t offset) {
    auto s = slice(data, offset, 4);
    if (!s) return std::nullopt;
    return le32(s->data());
}

}  // namespace pcn::pe
