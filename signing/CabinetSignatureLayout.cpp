#include "signing/CabinetSignatureLayout.h"

#include <fstream>

#include <cstdint>

namespace pcn {
namespace {

constexpr size_t kFixedHeader = 36;
constexpr uint16_t kPrevCabinet = 0x0001;
constexpr uint16_t kNextCabinet = 0x0002;
constexpr uint16_t kReservePresent = 0x0004;
constexpr uint32_t kSignatureReserveSize = 20;
constexpr size_t kFolderEntry = 8;

uint16_t u16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t u32(std::string_view b, size_t at) {
    return static_cast<uint32_t>(u16(b, at)) | static_cast<uint32_t>(u16(b, at + 2)) << 16;
}
void put16(std::string& b, size_t at, uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string& b, size_t at, uint32_t v) {
    put16(b, at, static_cast<uint16_t>(v & 0xFFFF));
    put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// The parts of a header that the rewrite needs, checked against the input.
struct HeaderLayout {
    uint16_t flags = 0;
    uint16_t folders = 0;
    uint32_t coffFiles = 0;
    uint32_t headerReserve = 0;
    uint8_t folderReserve = 0;
    uint8_t dataReserve = 0;
    size_t reserveFieldsAt = 0;  // start of the 4 reserve-size bytes
    size_t reserveEnd = 0;       // first byte after the reserve area
    size_t foldersAt = 0;        // first CFFOLDER entry
};

// Skips one zero-terminated string; false when it runs off the input.
bool skipString(std::string_view b, size_t& at) {
    size_t end = b.find('\0', at);
    if (end == std::string_view::npos) return false;
    at = end + 1;
    return true;
}

bool readLayout(std::string_view b, HeaderLayout& h, std::string& problem) {
    if (b.size() < kFixedHeader) {
        problem = "the cabinet header is truncated";
        return false;
    }
    h.coffFiles = u32(b, 16);
    h.folders = u16(b, 26);
    h.flags = u16(b, 30);
    size_t at = kFixedHeader;
    h.reserveFieldsAt = at;
    if (h.flags & kReservePresent) {
        if (b.size() < at + 4) {
            problem = "the cabinet header is truncated";
            return false;
        }
        h.headerReserve = u16(b, at);
        h.folderReserve = static_cast<uint8_t>(b[at + 2]);
        h.dataReserve = static_cast<uint8_t>(b[at + 3]);
        at += 4;
        if (b.size() - at < h.headerReserve) {
            problem = "the cabinet's header reserve runs past the end of the file";
            return false;
        }
        at += h.headerReserve;
    }
    h.reserveEnd = at;
    for (uint16_t mask : {kPrevCabinet, kNextCabinet}) {
        if ((h.flags & mask) && !(skipString(b, at) && skipString(b, at))) {
            problem = "the cabinet's set names are not terminated";
            return false;
        }
    }
    h.foldersAt = at;
    size_t foldersEnd = at + static_cast<size_t>(h.folders) * (kFolderEntry + h.folderReserve);
    if (foldersEnd > b.size() || h.coffFiles < foldersEnd || h.coffFiles > b.size()) {
        problem = "the cabinet's folder or file offsets are out of range";
        return false;
    }
    return true;
}

bool isSignatureReserve(std::string_view b, const HeaderLayout& h) {
    // The reserve osslsigncode writes: 20 bytes starting 00 00 10 00.
    return h.headerReserve == kSignatureReserveSize && h.folderReserve == 0 && h.dataReserve == 0 &&
           u32(b, h.reserveFieldsAt + 4) == 0x00100000;
}

bool reserveIsBlank(std::string_view b, const HeaderLayout& h) {
    std::string_view area = b.substr(h.reserveFieldsAt + 4, h.headerReserve);
    return area.find_first_not_of('\0') == std::string_view::npos;
}

}  // namespace

bool isContinuationCabinetFile(const std::string& path) {
    // The flags in the fixed header tell; the reserve that follows may be
    // larger than any fixed read.
    std::ifstream in(path, std::ios::binary);
    std::string head(kFixedHeader, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (in.gcount() != static_cast<std::streamsize>(kFixedHeader) || head.compare(0, 4, "MSCF") != 0) return false;
    return (u16(head, 30) & kPrevCabinet) != 0;
}

CabinetInspection inspectCabinetForSigning(std::string_view bytes) {
    CabinetInspection result;
    if (bytes.size() < 4 || bytes.substr(0, 4) != "MSCF") return result;
    HeaderLayout h;
    if (!readLayout(bytes, h, result.problem)) {
        result.form = CabinetSigningForm::Unsupported;
        return result;
    }
    if (h.flags & kPrevCabinet) {
        result.form = CabinetSigningForm::Continuation;
        result.problem =
            "it continues another cabinet of a spanning set; a continuation cabinet cannot carry a signature";
        return result;
    }
    if (!(h.flags & kReservePresent) || isSignatureReserve(bytes, h)) {
        result.form = CabinetSigningForm::Ready;
        return result;
    }
    if (h.folderReserve != 0 || h.dataReserve != 0) {
        result.form = CabinetSigningForm::Unsupported;
        result.problem = "it reserves room in its folder or data entries, which a signed cabinet cannot have";
        return result;
    }
    if (!reserveIsBlank(bytes, h)) {
        result.form = CabinetSigningForm::Unsupported;
        result.problem = "its header reserve holds data that signing would destroy";
        return result;
    }
    result.form = CabinetSigningForm::ReserveToRemove;
    return result;
}

bool removeCabinetHeaderReserve(std::string_view bytes, std::string& out, std::string& problem) {
    CabinetInspection inspection = inspectCabinetForSigning(bytes);
    if (inspection.form != CabinetSigningForm::ReserveToRemove) {
        problem = inspection.problem.empty() ? "the cabinet has no header reserve to remove" : inspection.problem;
        return false;
    }
    HeaderLayout h;
    readLayout(bytes, h, problem);
    const uint32_t removed = static_cast<uint32_t>(h.reserveEnd - h.reserveFieldsAt);

    if (u32(bytes, 8) < h.reserveEnd) {
        problem = "the cabinet's size field is smaller than its header";
        return false;
    }
    // Every folder's data must lie behind the removed bytes.
    for (uint16_t i = 0; i < h.folders; ++i) {
        if (u32(bytes, h.foldersAt + i * kFolderEntry) < h.reserveEnd) {
            problem = "a folder's data offset points into the cabinet header";
            return false;
        }
    }

    out.clear();
    out.reserve(bytes.size() - removed);
    out.append(bytes.substr(0, h.reserveFieldsAt));
    out.append(bytes.substr(h.reserveEnd));
    put32(out, 8, u32(bytes, 8) - removed);  // cbCabinet
    put32(out, 16, h.coffFiles - removed);    // coffFiles
    put16(out, 30, static_cast<uint16_t>(h.flags & ~kReservePresent));
    const size_t foldersAt = h.foldersAt - removed;
    for (uint16_t i = 0; i < h.folders; ++i) {
        size_t entry = foldersAt + i * kFolderEntry;
        put32(out, entry, u32(out, entry) - removed);  // coffCabStart
    }
    return true;
}

bool unsignedCabinet(std::string_view bytes, std::string& out, std::string& problem) {
    CabinetInspection inspection = inspectCabinetForSigning(bytes);
    switch (inspection.form) {
        case CabinetSigningForm::ReserveToRemove:
            return removeCabinetHeaderReserve(bytes, out, problem);
        case CabinetSigningForm::Ready:
            break;
        default:
            problem = inspection.problem.empty() ? "it is not a cabinet" : inspection.problem;
            return false;
    }
    HeaderLayout h;
    readLayout(bytes, h, problem);
    if (!(h.flags & kReservePresent)) {
        out.assign(bytes);
        return true;
    }
    // The signature's own reserve: the signature lies at its end.
    const uint32_t sigpos = u32(bytes, h.reserveFieldsAt + 8);
    const uint32_t siglen = u32(bytes, h.reserveFieldsAt + 12);
    std::string_view body = bytes;
    if (sigpos != 0 || siglen != 0) {
        if (sigpos < h.coffFiles || sigpos > bytes.size() || bytes.size() - sigpos != siglen) {
            problem = "its signature's offset and size do not match the file";
            return false;
        }
        body = bytes.substr(0, sigpos);
    }
    // Drop the 20-byte reserve as any other, over the cabinet without its signature.
    std::string blank(body);
    for (size_t i = 0; i < kSignatureReserveSize; ++i) blank[h.reserveFieldsAt + 4 + i] = '\0';
    return removeCabinetHeaderReserve(blank, out, problem);
}

bool namesNextCabinet(std::string_view plain) {
    return plain.size() >= kFixedHeader && plain.substr(0, 4) == "MSCF" && (u16(plain, 30) & kNextCabinet);
}

bool cabinetDigestTwin(std::string_view plain, std::string& twin, std::string& problem) {
    HeaderLayout h;
    if (!readLayout(plain, h, problem)) return false;
    if ((h.flags & (kReservePresent | kPrevCabinet)) || !(h.flags & kNextCabinet)) {
        problem = "only a first cabinet of a set without reserve has a digest twin";
        return false;
    }
    // What verification hashes after the header, in the signed cabinet: the
    // names, the folder entries (moved by the 24 bytes the signature's reserve
    // adds) and everything behind them.
    const uint32_t added = 4 + kSignatureReserveSize;
    std::string tail(plain.substr(h.reserveEnd));
    const size_t namesLength = h.foldersAt - h.reserveEnd;
    for (uint16_t i = 0; i < h.folders; ++i) {
        size_t entry = namesLength + i * kFolderEntry;
        put32(tail, entry, u32(tail, entry) + added);
    }
    // Signing reads two empty names, then takes the first folder-sized
    // entries of the tail for folders and moves them by the same 24 bytes:
    // take those back first.
    for (uint16_t i = 0; i < h.folders; ++i) {
        size_t entry = i * kFolderEntry;
        put32(tail, entry, u32(tail, entry) - added);
    }
    twin.assign(plain.substr(0, kFixedHeader));
    twin.append(std::string(2, '\0'));
    twin.append(tail);
    return true;
}

bool cabinetSignatureBlob(std::string_view signedCabinet, std::string& blob, std::string& problem) {
    HeaderLayout h;
    if (!readLayout(signedCabinet, h, problem)) return false;
    if (!(h.flags & kReservePresent) || !isSignatureReserve(signedCabinet, h)) {
        problem = "the cabinet carries no signature";
        return false;
    }
    // The signature ends the file. Its recorded offset follows the header's
    // cabinet size, which in a digest twin differs from the file's own, so
    // only the size is relied on.
    const uint32_t siglen = u32(signedCabinet, h.reserveFieldsAt + 12);
    if (siglen == 0 || siglen > signedCabinet.size() - h.coffFiles) {
        problem = "the cabinet's signature size does not match the file";
        return false;
    }
    blob.assign(signedCabinet.substr(signedCabinet.size() - siglen));
    return true;
}

bool attachCabinetSignature(std::string_view plain, std::string_view blob, std::string& out, std::string& problem) {
    HeaderLayout h;
    if (!readLayout(plain, h, problem)) return false;
    if (h.flags & kReservePresent) {
        problem = "the cabinet still has a header reserve";
        return false;
    }
    const uint32_t added = 4 + kSignatureReserveSize;
    std::string reserve(added, '\0');
    put16(reserve, 0, kSignatureReserveSize);
    put32(reserve, 4, 0x00100000);
    put32(reserve, 8, static_cast<uint32_t>(plain.size() + added));  // where the signature starts
    put32(reserve, 12, static_cast<uint32_t>(blob.size()));
    out.assign(plain.substr(0, kFixedHeader));
    out.append(reserve);
    out.append(plain.substr(kFixedHeader));
    put32(out, 8, u32(plain, 8) + added);
    put32(out, 16, h.coffFiles + added);
    put16(out, 30, static_cast<uint16_t>(h.flags | kReservePresent));
    for (uint16_t i = 0; i < h.folders; ++i) {
        size_t entry = h.foldersAt + added + i * kFolderEntry;
        put32(out, entry, u32(out, entry) + added);
    }
    out.append(blob);
    return true;
}

}  // namespace pcn
