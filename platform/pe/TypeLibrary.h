#pragma once
// OLE type libraries in the MSFT format (what MIDL and widl write), read from
// a stand-alone .tlb file or from a component's TYPELIB resource. Only what
// the program needs is read: the library's identity and, for every type
// description, its kind, GUID, name and documentation string.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn::pe {

struct Guid {
    std::array<uint8_t, 16> bytes{};  // as stored: Data1..Data3 little-endian, then Data4

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case, as StringFromCLSID.
    std::string registryText() const;
    // The same without the braces.
    std::string plainText() const;
    static Guid fromBytes(std::string_view sixteen);
    friend bool operator==(const Guid&, const Guid&) = default;
};

enum class TypeKind : uint8_t { Enum = 0, Record, Module, Interface, Dispatch, Coclass, Alias, Union };

// "enum", "record", "module", "interface", "dispinterface", "coclass",
// "alias", "union"; "kind N" for values past those.
std::string typeKindName(TypeKind kind);

struct TypeDescription {
    TypeKind kind = TypeKind::Enum;
    Guid guid;  // all zero when the description has none
    std::string name;
    std::string documentation;
};

struct TypeLibrary {
    Guid libraryId;
    std::string name;
    std::string documentation;
    uint16_t majorVersion = 0;
    uint16_t minorVersion = 0;
    uint32_t lcid = 0;
    std::vector<TypeDescription> types;

    const TypeDescription* firstCoclass() const;
    std::vector<const TypeDescription*> coclasses() const;
};

// Nullopt when the bytes are no MSFT type library or any part that is read
// lies outside them.
std::optional<TypeLibrary> parseTypeLibrary(std::string_view bytes);

// True when the bytes begin with the MSFT signature.
bool looksLikeTypeLibrary(std::string_view bytes);

}  // namespace pcn::pe
