#include "platform/pe/PeImage.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>

#include "platform/pe/Bytes.h"
#include "platform/pe/Text.h"

namespace pcn::pe {
namespace {

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kImportDescriptorSize = 20;
constexpr size_t kDelayDescriptorSize = 32;

// Where the fields we need lie in the optional header of each kind.
struct OptionalLayout {
    size_t minimumSize;
    size_t rvaCountOffset;
    size_t directoriesOffset;
};
constexpr OptionalLayout kPe32Layout{96, 92, 96};
constexpr OptionalLayout kPe32PlusLayout{112, 108, 112};

bool isZero(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

}  // namespace

std::optional<PeImage> PeImage::parse(std::string_view bytes) {
    auto dosHeader = slice(bytes, 0, 64);
    if (!dosHeader || dosHeader->substr(0, 2) != "MZ") return std::nullopt;
    uint32_t peOffset = le32(dosHeader->data() + 0x3C);
    auto signature = slice(bytes, peOffset, 4);
    if (!signature || *signature != std::string_view("PE\0\0", 4)) return std::nullopt;
    auto coff = slice(bytes, uint64_t{peOffset} + 4, 20);
    if (!coff) return std::nullopt;

    PeImage image;
    image.bytes_ = bytes;
    image.machine_ = le16(coff->data());
    uint16_t sectionCount = le16(coff->data() + 2);
    uint16_t optionalSize = le16(coff->data() + 16);
    image.characteristics_ = le16(coff->data() + 18);

    uint64_t optionalOffset = uint64_t{peOffset} + 24;
    auto optional = slice(bytes, optionalOffset, optionalSize);
    if (!optional || optional->size() < 2) return std::nullopt;
    uint16_t magic = le16(optional->data());
    if (magic != kPe32Magic && magic != kPe32PlusMagic) return std::nullopt;
    image.is64Bit_ = magic == kPe32PlusMagic;
    const OptionalLayout& layout = image.is64Bit_ ? kPe32PlusLayout : kPe32Layout;
    if (optional->size() < layout.minimumSize) return std::nullopt;
    image.imageBase_ = image.is64Bit_ ? le64(optional->data() + 24) : le32(optional->data() + 28);
    image.sizeOfHeaders_ = le32(optional->data() + 60);
    image.subsystem_ = le16(optional->data() + 68);

    uint64_t directoryCount = std::min<uint64_t>({le32(optional->data() + layout.rvaCountOffset), 16,
                                                  (optional->size() - layout.directoriesOffset) / 8});
    for (uint64_t i = 0; i < directoryCount; ++i) {
        const char* entry = optional->data() + layout.directoriesOffset + 8 * i;
        image.directories_.push_back({le32(entry), le32(entry + 4)});
    }

    auto table = slice(bytes, optionalOffset + optionalSize, uint64_t{sectionCount} * kSectionHeaderSize);
    if (!table) return std::nullopt;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const char* header = table->data() + i * kSectionHeaderSize;
        uint32_t virtualSize = le32(header + 8);
        Section section;
        section.virtualAddress = le32(header + 12);
        uint32_t rawSize = le32(header + 16);
        section.rawOffset = le32(header + 20);
        // The loader copies the raw data up to the section's size in memory;
        // what the file does not hold cannot be read.
        uint32_t mapped = (virtualSize != 0 && virtualSize < rawSize) ? virtualSize : rawSize;
        uint64_t available = section.rawOffset < bytes.size() ? bytes.size() - section.rawOffset : 0;
        section.mappedSize = static_cast<uint32_t>(std::min<uint64_t>(mapped, available));
        image.sections_.push_back(section);
    }
    image.indexSections();
    return image;
}

// Flattens the section table into disjoint spans once, so that every
// address look-up is a binary search rather than a walk over up to 65,535
// sections. What earlier sections cover is kept merged in `covered`, so a
// section only visits the pieces it overlaps, which it then absorbs.
void PeImage::indexSections() {
    std::map<uint64_t, uint64_t> covered;  // start -> end
    for (uint32_t i = 0; i < sections_.size(); ++i) {
        const uint64_t start = sections_[i].virtualAddress;
        const uint64_t end = start + sections_[i].mappedSize;
        if (start == end) continue;
        auto it = covered.upper_bound(start);
        if (it != covered.begin() && std::prev(it)->second > start) --it;
        uint64_t at = start, mergedStart = start, mergedEnd = end;
        while (it != covered.end() && it->first < end) {
            if (it->first > at) spans_.push_back({at, it->first, i});
            at = std::max(at, it->second);
            mergedStart = std::min(mergedStart, it->first);
            mergedEnd = std::max(mergedEnd, it->second);
            it = covered.erase(it);
        }
        if (at < end) spans_.push_back({at, end, i});
        covered[mergedStart] = mergedEnd;
    }
    std::sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
}

const PeImage::Section* PeImage::sectionAt(uint32_t rva) const {
    auto after = std::upper_bound(spans_.begin(), spans_.end(), uint64_t{rva},
                                  [](uint64_t value, const Span& span) { return value < span.start; });
    if (after == spans_.begin()) return nullptr;
    const Span& span = *std::prev(after);
    return rva < span.end ? &sections_[span.section] : nullptr;
}

PeImage::Directory PeImage::directory(DirectoryIndex index) const {
    auto i = static_cast<size_t>(index);
    return i < directories_.size() ? directories_[i] : Directory{};
}

std::optional<std::string_view> PeImage::bytesFrom(uint32_t rva) const {
    if (const Section* section = sectionAt(rva)) {
        uint32_t into = rva - section->virtualAddress;
        return bytes_.substr(uint64_t{section->rawOffset} + into, section->mappedSize - into);
    }
    uint64_t headerEnd = std::min<uint64_t>(sizeOfHeaders_, bytes_.size());
    if (rva < headerEnd) return bytes_.substr(rva, headerEnd - rva);
    return std::nullopt;
}

std::optional<std::string_view> PeImage::bytesAt(uint32_t rva, uint32_t length) const {
    auto from = bytesFrom(rva);
    if (!from) return std::nullopt;
    return slice(*from, 0, length);
}

std::optional<std::string_view> PeImage::stringAt(uint32_t rva, size_t maxLength) const {
    auto from = bytesFrom(rva);
    if (!from) return std::nullopt;
    size_t end = from->substr(0, maxLength + 1).find('\0');
    if (end == std::string_view::npos) return std::nullopt;
    return from->substr(0, end);
}

namespace {

// Whether a resource directory string (UTF-16 units) is the wanted name,
// ignoring ASCII case. Compared in place: a crafted table may point
// thousands of entries at one 64K-unit string, which must not be converted
// each time.
bool resourceNameIs(std::string_view units, std::string_view wanted) {
    const bool ascii = std::all_of(wanted.begin(), wanted.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii) return equalsIgnoringAsciiCase(utf16ToUtf8(units), wanted);
    if (units.size() != 2 * wanted.size()) return false;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const uint16_t unit = le16(units.data() + 2 * i);
        const auto fold = [](uint32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
        if (fold(unit) != fold(static_cast<unsigned char>(wanted[i]))) return false;
    }
    return true;
}

// The data field of the entry of a resource directory that matches wanted
// (the first entry when wanted is null); offsets are relative to the table.
std::optional<uint32_t> findResourceEntry(std::string_view table, uint32_t directoryOffset,
                                          const ResourceName* wanted) {
    auto header = slice(table, directoryOffset, 16);
    if (!header) return std::nullopt;
    uint32_t count = uint32_t{le16(header->data() + 12)} + le16(header->data() + 14);
    for (uint32_t i = 0; i < count; ++i) {
        auto entry = slice(table, uint64_t{directoryOffset} + 16 + 8 * uint64_t{i}, 8);
        if (!entry) return std::nullopt;
        uint32_t nameField = le32(entry->data());
        uint32_t dataField = le32(entry->data() + 4);
        if (!wanted) return dataField;
        if (nameField & kHighBit) {
            if (wanted->name.empty()) continue;
            uint32_t at = nameField & ~kHighBit;
            auto length = read16(table, at);
            if (!length) continue;
            auto text = slice(table, uint64_t{at} + 2, uint64_t{*length} * 2);
            if (text && resourceNameIs(*text, wanted->name)) return dataField;
        } else if (wanted->name.empty() && nameField == wanted->id) {
            return dataField;
        }
    }
    return std::nullopt;
}

// A directory entry's data field names a sub-directory when its high bit is set.
std::optional<uint32_t> subdirectory(std::optional<uint32_t> field) {
    if (!field || !(*field & kHighBit)) return std::nullopt;
    return *field & ~kHighBit;
}

}  // namespace

std::optional<std::string_view> PeImage::findResource(const ResourceName& type, const ResourceName& name) const {
    return resourceData(type, &name);
}

std::optional<std::string_view> PeImage::firstResource(const ResourceName& type) const {
    return resourceData(type, nullptr);
}

std::optional<std::string_view> PeImage::resourceData(const ResourceName& type, const ResourceName* name) const {
    Directory resources = directory(kResource);
    if (resources.rva == 0) return std::nullopt;
    auto table = bytesFrom(resources.rva);
    if (!table) return std::nullopt;
    // Three fixed levels (type, name, language): the walk cannot loop
    // whatever the offsets point at.
    auto names = subdirectory(findResourceEntry(*table, 0, &type));
    if (!names) return std::nullopt;
    auto languages = subdirectory(findResourceEntry(*table, *names, name));
    if (!languages) return std::nullopt;
    auto data = findResourceEntry(*table, *languages, nullptr);
    if (!data || (*data & kHighBit)) return std::nullopt;
    auto dataEntry = slice(*table, *data, 16);
    if (!dataEntry) return std::nullopt;
    return bytesAt(le32(dataEntry->data()), le32(dataEntry->data() + 4));
}

template <typename Visit>
void PeImage::forEachExportName(Visit visit) const {
    Directory exports = directory(kExport);
    if (exports.rva == 0) return;
    auto header = bytesAt(exports.rva, 40);
    if (!header) return;
    uint64_t nameCount = le32(header->data() + 24);
    uint32_t namesRva = le32(header->data() + 32);
    if (nameCount * 4 > UINT32_MAX) return;
    auto names = bytesAt(namesRva, static_cast<uint32_t>(nameCount * 4));
    if (!names) return;
    for (uint64_t i = 0; i < nameCount; ++i) {
        auto name = stringAt(le32(names->data() + 4 * i));
        if (name && !visit(*name)) return;
    }
}

bool PeImage::exportsName(std::string_view function) const {
    bool found = false;
    forEachExportName([&](std::string_view name) {
        found = name == function;
        return !found;
    });
    return found;
}

std::vector<std::string> PeImage::exportedNames() const {
    std::vector<std::string> names;
    size_t text = 0;
    forEachExportName([&](std::string_view name) {
        names.push_back(ansiToUtf8(name));
        text += name.size();
        return names.size() < kMaxListed && text <= bytes_.size();
    });
    return names;
}

std::vector<std::string> PeImage::importedLibraries() const {
    std::vector<std::string> libraries;
    Directory imports = directory(kImport);
    if (imports.rva == 0) return libraries;
    auto table = bytesFrom(imports.rva);
    if (!table) return libraries;
    size_t text = 0;  // names may all point at one string: no more text than the file
    for (uint64_t i = 0; libraries.size() < kMaxListed && text <= bytes_.size(); ++i) {
        auto descriptor = slice(*table, i * kImportDescriptorSize, kImportDescriptorSize);
        if (!descriptor || isZero(*descriptor)) break;
        uint32_t nameRva = le32(descriptor->data() + 12);
        if (nameRva == 0) break;
        if (auto name = stringAt(nameRva)) {
            libraries.push_back(ansiToUtf8(*name));
            text += name->size();
        }
    }
    return libraries;
}

std::vector<std::string> PeImage::delayLoadedLibraries() const {
    std::vector<std::string> libraries;
    Directory imports = directory(kDelayImport);
    if (imports.rva == 0) return libraries;
    auto table = bytesFrom(imports.rva);
    if (!table) return libraries;
    size_t text = 0;  // names may all point at one string: no more text than the file
    for (uint64_t i = 0; libraries.size() < kMaxListed && text <= bytes_.size(); ++i) {
        auto descriptor = slice(*table, i * kDelayDescriptorSize, kDelayDescriptorSize);
        if (!descriptor || isZero(*descriptor)) break;
        uint32_t attributes = le32(descriptor->data());
        uint64_t name = le32(descriptor->data() + 4);
        if (name == 0) break;
        // Old linkers stored addresses, not relative ones (attribute bit 0 clear).
        if (!(attributes & 1)) {
            if (name < imageBase_) continue;
            name -= imageBase_;
            if (name > UINT32_MAX) continue;
        }
        if (auto found = stringAt(static_cast<uint32_t>(name))) {
            libraries.push_back(ansiToUtf8(*found));
            text += found->size();
        }
    }
    return libraries;
}

std::string machineName(uint16_t machine) {
    switch (machine) {
        case 0x014C: return "i386";
        case 0x8664: return "x86-64";
        case 0x01C0: return "ARM";
        case 0x01C4: return "ARMv7";
        case 0xAA64: return "ARM64";
        case 0x0200: return "IA-64";
        case 0x0166: return "MIPS";
        case 0x0184: return "Alpha";
        case 0x01F0: return "PowerPC";
        default: break;
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", machine);
    return text;
}

}  // namespace pcn::pe
