#pragma once
// A minimal PE32 DLL made in memory: one section holding an import table and
// a delay-import table naming the given libraries. For tests of what reads or
// follows import tables.

#include <cstdint>
#include <string>
#include <vector>

namespace pcn::testing {

inline std::string le16Bytes(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
inline std::string le32Bytes(uint32_t v) {
    return le16Bytes(static_cast<uint16_t>(v)) + le16Bytes(static_cast<uint16_t>(v >> 16));
}

inline std::string handMadePe(const std::vector<std::string>& imports, const std::vector<std::string>& delayImports = {},
                              uint16_t machine = 0x8664) {
    constexpr uint32_t kSectionRva = 0x1000;
    constexpr uint32_t kFileOffset = 0x200;
    const uint32_t importSize = static_cast<uint32_t>((imports.size() + 1) * 20);
    const uint32_t delaySize = static_cast<uint32_t>((delayImports.size() + 1) * 32);
    std::string names;
    std::string importTable, delayTable;
    const uint32_t namesRva = kSectionRva + importSize + delaySize;
    for (const std::string& name : imports) {
        importTable += le32Bytes(0) + le32Bytes(0) + le32Bytes(0) +
                       le32Bytes(namesRva + static_cast<uint32_t>(names.size())) + le32Bytes(0);
        names += name + '\0';
    }
    importTable.append(20, '\0');
    for (const std::string& name : delayImports) {
        delayTable += le32Bytes(1) + le32Bytes(namesRva + static_cast<uint32_t>(names.size())) + std::string(24, '\0');
        names += name + '\0';
    }
    delayTable.append(32, '\0');
    std::string section = importTable + delayTable + names;
    const uint32_t rawSize = static_cast<uint32_t>((section.size() + 0x1FF) & ~size_t{0x1FF});
    section.resize(rawSize, '\0');

    std::string image(kFileOffset, '\0');
    auto put = [&](size_t at, const std::string& bytes) { image.replace(at, bytes.size(), bytes); };
    put(0, "MZ");
    put(0x3C, le32Bytes(0x40));
    put(0x40, std::string("PE\0\0", 4));
    put(0x44, le16Bytes(machine) + le16Bytes(1));
    put(0x54, le16Bytes(0xE0) + le16Bytes(0x2102));
    const size_t opt = 0x58;
    put(opt, le16Bytes(0x10B));
    put(opt + 28, le32Bytes(0x10000000));
    put(opt + 32, le32Bytes(0x1000) + le32Bytes(0x200));  // section and file alignment
    put(opt + 56, le32Bytes(kSectionRva + rawSize));       // size of image
    put(opt + 60, le32Bytes(kFileOffset));
    put(opt + 92, le32Bytes(16));
    put(opt + 96 + 8 * 1, le32Bytes(kSectionRva) + le32Bytes(importSize));
    put(opt + 96 + 8 * 13, le32Bytes(kSectionRva + importSize) + le32Bytes(delaySize));
    const size_t header = opt + 0xE0;
    put(header, ".idata");
    put(header + 8, le32Bytes(rawSize) + le32Bytes(kSectionRva));
    put(header + 16, le32Bytes(rawSize) + le32Bytes(kFileOffset));
    return image + section;
}

}  // namespace pcn::testing
