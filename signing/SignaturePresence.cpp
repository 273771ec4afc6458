#include "signing/SignaturePresence.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace pcn {
namespace {

uint32_t read16(std::string_view b, size_t at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; }
uint32_t read32(std::string_view b, size_t at) { return read16(b, at) | read16(b, at + 2) << 16; }

// A signature's place and size must lie within the file.
bool within(uint64_t offset, uint64_t size, uint64_t fileSize) {
    return offset > 0 && size > 0 && offset <= fileSize && size <= fileSize - offset;
}

// The certificate table is data directory 4 of the optional header.
bool peSigned(std::string_view head, uint64_t fileSize) {
    if (head.size() < 0x40) return false;
    const uint32_t pe = read32(head, 0x3C);
    if (pe > head.size() - 24 || head.substr(pe, 4) != std::string_view("PE\0\0", 4)) return false;
    const size_t optional = pe + 24;
    if (optional + 2 > head.size()) return false;
    const uint32_t magic = read16(head, optional);
    const size_t countAt = optional + (magic == 0x20B ? 108 : magic == 0x10B ? 92 : 0);
    if (countAt == optional || countAt + 4 > head.size() || read32(head, countAt) <= 4) return false;
    const size_t entry = countAt + 4 + 4 * 8;
    if (entry + 8 > head.size()) return false;
    return within(read32(head, entry), read32(head, entry + 4), fileSize);
}

// A signed cabinet has exactly the 20-byte header reserve whose second and
// third words give the signature's offset and size.
bool cabinetSigned(std::string_view head, uint64_t fileSize) {
    constexpr uint32_t kReservePresent = 0x0004;
    if (head.size() < 60 || (read16(head, 30) & kReservePresent) == 0 || read16(head, 36) != 20) return false;
    return within(read32(head, 44), read32(head, 48), fileSize);
}

}  // namespace

bool carriesSignature(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const uint64_t size = std::filesystem::file_size(path, error);
    if (error) return false;
    std::ifstream in(path, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), std::streamsize(head.size()));
    head.resize(size_t(in.gcount()));
    if (head.starts_with("MZ")) return peSigned(head, size);
    if (head.starts_with("MSCF")) return cabinetSigned(head, size);
    return false;
}

}  // namespace pcn
