#include "platform/pe/TypeLibrary.h"

#include <cstdio>

#include "platform/pe/Bytes.h"
#include "platform/pe/Text.h"

namespace pcn::pe {
namespace {

constexpr std::string_view kSignature = "MSFT";
constexpr size_t kHeaderSize = 0x54;
constexpr uint32_t kHelpDllFlag = 0x100;
constexpr size_t kSegmentCount = 15;
constexpr size_t kSegmentSize = 16;  // offset, length, two reserved fields
constexpr size_t kTypeInfoSize = 0x64;
constexpr size_t kNameIntroSize = 12;

enum Segment { kTypeInfoTable = 0, kImportInfo = 1, kGuidTable = 5, kNameTable = 7, kStringTable = 8 };

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool readDirectory(uint64_t at) {
        auto directory = slice(bytes_, at, kSegmentCount * kSegmentSize);
        if (!directory) return false;
        // The first two segments always carry 0x0F in their last field; the
        // check tells a directory from bytes that merely start with "MSFT".
        if (le32(directory->data() + 12) != 0x0F || le32(directory->data() + kSegmentSize + 12) != 0x0F)
            return false;
        for (size_t i = 0; i < kSegmentCount; ++i) {
            const char* entry = directory->data() + i * kSegmentSize;
            int32_t offset = static_cast<int32_t>(le32(entry));
            int32_t length = static_cast<int32_t>(le32(entry + 4));
            if (offset < 0 || length <= 0) continue;  // an absent segment
            segments_[i] = slice(bytes_, static_cast<uint64_t>(offset), static_cast<uint64_t>(length));
        }
        return true;
    }

    std::optional<std::string_view> segment(Segment which) const { return segments_[which]; }

    // A GUID table entry; a negative offset means "none" (all zero).
    std::optional<Guid> guid(int32_t offset) const {
        if (offset < 0) return Guid{};
        auto table = segment(kGuidTable);
        if (!table) return std::nullopt;
        auto bytes = slice(*table, static_cast<uint64_t>(offset), 16);
        if (!bytes) return std::nullopt;
        return Guid::fromBytes(*bytes);
    }

    // A name table entry: a 12-byte intro whose third field holds the length
    // in its low byte, then the characters.
    std::optional<std::string> name(int32_t offset) const {
        if (offset < 0) return std::string();
        auto table = segment(kNameTable);
        if (!table) return std::nullopt;
        auto intro = slice(*table, static_cast<uint64_t>(offset), kNameIntroSize);
        if (!intro) return std::nullopt;
        auto text = slice(*table, static_cast<uint64_t>(offset) + kNameIntroSize, le32(intro->data() + 8) & 0xFF);
        if (!text) return std::nullopt;
        return ansiToUtf8(*text);
    }

    // A string table entry: a 16-bit length, then the characters.
    std::optional<std::string> string(int32_t offset) const {
        if (offset < 0) return std::string();
        auto table = segment(kStringTable);
        if (!table) return std::nullopt;
        auto length = read16(*table, static_cast<uint64_t>(offset));
        if (!length) return std::nullopt;
        auto signedLength = static_cast<int16_t>(*length);
        if (signedLength <= 0) return std::string();
        auto text = slice(*table, static_cast<uint64_t>(offset) + 2, static_cast<uint64_t>(signedLength));
        if (!text) return std::nullopt;
        return ansiToUtf8(*text);
    }

private:
    std::string_view bytes_;
    std::optional<std::string_view> segments_[kSegmentCount];
};

int32_t signed32(const char* p) { return static_cast<int32_t>(le32(p)); }

std::optional<TypeDescription> readTypeDescription(const Reader& reader, std::string_view entry) {
    TypeDescription type;
    type.kind = static_cast<TypeKind>(le32(entry.data()) & 0x0F);
    auto guid = reader.guid(signed32(entry.data() + 0x2C));
    auto name = reader.name(signed32(entry.data() + 0x34));
    auto documentation = reader.string(signed32(entry.data() + 0x3C));
    if (!guid || !name || !documentation) return std::nullopt;
    type.guid = *guid;
    type.name = std::move(*name);
    type.documentation = std::move(*documentation);
    return type;
}

}  // namespace

std::string Guid::registryText() const { return "{" + plainText() + "}"; }

std::string Guid::plainText() const {
    std::string_view b(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", le32(b.data()),
                  le16(b.data() + 4), le16(b.data() + 6), bytes[8], bytes[9], bytes[10], bytes[11], bytes[12],
                  bytes[13], bytes[14], bytes[15]);
    return text;
}

Guid Guid::fromBytes(std::string_view sixteen) {
    Guid guid;
    for (size_t i = 0; i < guid.bytes.size() && i < sixteen.size(); ++i)
        guid.bytes[i] = static_cast<uint8_t>(sixteen[i]);
    return guid;
}

std::string typeKindName(TypeKind kind) {
    static constexpr const char* kNames[] = {"enum",          "record",  "module", "interface",
                                             "dispinterface", "coclass", "alias",  "union"};
    auto index = static_cast<size_t>(kind);
    if (index < std::size(kNames)) return kNames[index];
    return "kind " + std::to_string(index);
}

const TypeDescription* TypeLibrary::firstCoclass() const {
    for (const TypeDescription& type : types)
        if (type.kind == TypeKind::Coclass) return &type;
    return nullptr;
}

std::vector<const TypeDescription*> TypeLibrary::coclasses() const {
    std::vector<const TypeDescription*> found;
    for (const TypeDescription& type : types)
        if (type.kind == TypeKind::Coclass) found.push_back(&type);
    return found;
}

bool looksLikeTypeLibrary(std::string_view bytes) { return bytes.substr(0, 4) == kSignature; }

std::optional<TypeLibrary> parseTypeLibrary(std::string_view bytes) {
    auto header = slice(bytes, 0, kHeaderSize);
    if (!header || !looksLikeTypeLibrary(bytes)) return std::nullopt;
    const char* h = header->data();
    uint32_t typeCount = le32(h + 0x20);
    uint32_t flags = le32(h + 0x14);
    // Between the header and the segment directory: the help DLL's string
    // (when flagged) and one offset per type description.
    uint64_t directoryAt = kHeaderSize + uint64_t{typeCount} * 4 + ((flags & kHelpDllFlag) ? 4 : 0);
    Reader reader(bytes);
    if (!reader.readDirectory(directoryAt)) return std::nullopt;

    TypeLibrary library;
    auto libraryId = reader.guid(signed32(h + 0x08));
    auto name = reader.name(signed32(h + 0x38));
    auto documentation = reader.string(signed32(h + 0x24));
    if (!libraryId || !name || !documentation) return std::nullopt;
    library.libraryId = *libraryId;
    library.name = std::move(*name);
    library.documentation = std::move(*documentation);
    library.lcid = le32(h + 0x0C);
    uint32_t version = le32(h + 0x18);
    library.majorVersion = static_cast<uint16_t>(version);
    library.minorVersion = static_cast<uint16_t>(version >> 16);

    if (typeCount == 0) return library;
    auto typeInfos = reader.segment(kTypeInfoTable);
    // The count was checked against the file when the directory was found
    // behind the offsets, so the reserve below is bounded by the file size.
    if (!typeInfos || typeInfos->size() / kTypeInfoSize < typeCount) return std::nullopt;
    library.types.reserve(typeCount);
    // Real type descriptions each have their own names and texts; a library
    // whose descriptions share one long text to hold more than the file is
    // damaged (and would cost memory hundreds of times its size).
    size_t text = 0;
    for (uint32_t i = 0; i < typeCount; ++i) {
        auto type = readTypeDescription(reader, typeInfos->substr(i * kTypeInfoSize, kTypeInfoSize));
        if (!type) return std::nullopt;
        text += type->name.size() + type->documentation.size();
        if (text > 3 * bytes.size()) return std::nullopt;  // 3: a code page byte as UTF-8
        library.types.push_back(std::move(*type));
    }
    return library;
}

}  // namespace pcn::pe
