#pragma once
// What the program asks of a component file on disk, in the terms of the
// Windows calls it stands in for: its version information
// (GetFileVersionInfo/VerQueryValue), whether it exports a function
// (LoadLibrary/GetProcAddress), its type library (LoadTypeLibEx without
// registering) and its imported libraries. A file that cannot be read or is
// damaged gives "no version", "no export", "no type library".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pe/TypeLibrary.h"
#include "platform/pe/VersionResource.h"

namespace pcn::pe {

// Components larger than this are not read: the biggest real ones are a few
// tens of MB, and a reader must not be made to hold gigabytes.
inline constexpr size_t kMaxComponentFileSize = 128u * 1024 * 1024;

// A component file's bytes, read whole (not mapped: a file truncated while
// it is read must be a read error, not a crash).
class ComponentFile {
public:
    // Nullopt (errno in *error) when the file cannot be opened or read: ENOENT
    // and the like, EISDIR, EINVAL for anything that is not a regular file
    // (a FIFO, a device), EFBIG above kMaxComponentFileSize.
    static std::optional<ComponentFile> open(const std::filesystem::path& file, int* error = nullptr);

    std::string_view bytes() const { return bytes_; }

private:
    explicit ComponentFile(std::string bytes) : bytes_(std::move(bytes)) {}
    std::string bytes_;
};

// A read-only mapping of a whole file; any size, no copy. Only for the
// lister host, whose job is to hold components mapped as a loader would
// (the listers find them in the process's mappings); readers of user files
// use ComponentFile, which a file cut short cannot crash.
class MappedFile {
public:
    // Nullopt (errno in *error) when the file cannot be opened or mapped, or
    // is no regular file.
    static std::optional<MappedFile> open(const std::filesystem::path& file, int* error = nullptr);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::string_view bytes() const { return {static_cast<const char*>(address_), size_}; }

private:
    MappedFile(void* address, size_t size) : address_(address), size_(size) {}
    void* address_ = nullptr;
    size_t size_ = 0;
};

// The version resource's FileVersion/OLESelfRegister/translation; nullopt when
// the file has no version resource.
std::optional<ComponentVersion> readComponentVersion(const std::filesystem::path& file);

// True when the file is a PE image whose export table names the function.
bool componentExports(const std::filesystem::path& file, std::string_view function);

// The type library of a stand-alone .tlb file or of a PE image's TYPELIB
// resource number 1 (the one LoadTypeLibEx opens for a bare path).
std::optional<TypeLibrary> loadTypeLibrary(const std::filesystem::path& file);
std::optional<TypeLibrary> typeLibraryOf(std::string_view fileBytes);

// Everything the reader sees in a component, for `parcelon info` and for the
// tests and the fuzz target that run every reader over hostile bytes.
struct ComponentReport {
    enum class Format { Unknown, Pe32, Pe32Plus, TypeLibrary };
    Format format = Format::Unknown;
    uint16_t machine = 0;
    bool dll = false;
    std::optional<FixedFileInfo> fixedInfo;
    std::optional<ComponentVersion> version;
    std::vector<std::string> exports;
    bool exportsRegisterServer = false;
    bool exportsUnregisterServer = false;
    std::vector<std::string> imports;
    std::vector<std::string> delayLoadImports;
    std::optional<TypeLibrary> typeLibrary;
};

ComponentReport describeComponent(std::string_view fileBytes);

}  // namespace pcn::pe
