#pragma once
// A PE image (32- or 64-bit .exe, .dll, .ocx, ...) read from the bytes of its
// file, the way the Windows loader would map it: headers, sections, and the
// export, import and resource tables. Every offset, size and count is checked
// against the file; anything damaged reads as absent (no export, no resource),
// never as a crash, a hang or a huge allocation.
//
// A PeImage is a view: the bytes passed to parse() must outlive it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn::pe {

// A resource type or name: a number or a string (compared ignoring ASCII case,
// as the resource compiler stores names in upper case).
struct ResourceName {
    uint16_t id = 0;
    std::string name;  // empty: the numeric id counts

    static ResourceName number(uint16_t id) { return {id, {}}; }
    static ResourceName text(std::string name) { return {0, std::move(name)}; }
};

inline constexpr uint16_t kRtVersion = 16;

class PeImage {
public:
    // Nullopt when the bytes are no PE image (no "MZ" / "PE\0\0" signature,
    // an unknown optional header, or headers that do not fit in the file).
    static std::optional<PeImage> parse(std::string_view bytes);

    bool is64Bit() const { return is64Bit_; }
    uint16_t machine() const { return machine_; }
    uint16_t characteristics() const { return characteristics_; }
    bool isDll() const { return (characteristics_ & 0x2000) != 0; }
    uint16_t subsystem() const { return subsystem_; }
    uint64_t imageBase() const { return imageBase_; }

    // The bytes the loader would place at [rva, rva + length), when they come
    // from the file (headers or one section's raw data).
    std::optional<std::string_view> bytesAt(uint32_t rva, uint32_t length) const;
    // From rva to the end of the file data that backs its section.
    std::optional<std::string_view> bytesFrom(uint32_t rva) const;
    // A NUL-terminated 8-bit string at rva (at most maxLength bytes; a longer
    // or unterminated one is refused).
    std::optional<std::string_view> stringAt(uint32_t rva, size_t maxLength = 1024) const;

    // The data of resource type/name in its first language, as FindResource
    // with the neutral language would find it.
    std::optional<std::string_view> findResource(const ResourceName& type, const ResourceName& name) const;
    // The data of the first resource of a type (first name, first language).
    std::optional<std::string_view> firstResource(const ResourceName& type) const;

    // Whether the export table names the function (GetProcAddress by name).
    bool exportsName(std::string_view function) const;
    // Names of the export table in its order (at most kMaxListed, and no more
    // text than the file holds: crafted tables may name one string often).
    std::vector<std::string> exportedNames() const;
    // Library names of the import table in its order (at most kMaxListed).
    std::vector<std::string> importedLibraries() const;
    // Library names of the delay-load import table in its order.
    std::vector<std::string> delayLoadedLibraries() const;

    static constexpr size_t kMaxListed = 65536;

private:
    struct Section {
        uint32_t virtualAddress = 0;
        uint32_t mappedSize = 0;  // bytes of raw data the loader copies
        uint32_t rawOffset = 0;
    };
    // The part of the address space that a section supplies: where sections
    // overlap, the first in the table wins, as in a linear search.
    struct Span {
        uint64_t start = 0;
        uint64_t end = 0;
        uint32_t section = 0;
    };
    void indexSections();
    const Section* sectionAt(uint32_t rva) const;
    struct Directory {
        uint32_t rva = 0;
        uint32_t size = 0;
    };
    enum DirectoryIndex { kExport = 0, kImport = 1, kResource = 2, kDelayImport = 13 };

    Directory directory(DirectoryIndex index) const;
    std::optional<std::string_view> resourceData(const ResourceName& type, const ResourceName* name) const;
    template <typename Visit>
    void forEachExportName(Visit visit) const;

    std::string_view bytes_;
    bool is64Bit_ = false;
    uint16_t machine_ = 0;
    uint16_t characteristics_ = 0;
    uint16_t subsystem_ = 0;
    uint64_t imageBase_ = 0;
    uint32_t sizeOfHeaders_ = 0;
    std::vector<Section> sections_;
    std::vector<Span> spans_;  // sorted by start, disjoint
    std::vector<Directory> directories_;
};

// "i386", "x86-64", "ARM64", ... or "0x%04X" for machines we do not name.
std::string machineName(uint16_t machine);

}  // namespace pcn::pe
