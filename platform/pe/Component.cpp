#include "platform/pe/Component.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/pe/PeImage.h"

namespace pcn::pe {

std::optional<ComponentFile> ComponentFile::open(const std::filesystem::path& file, int* error) {
    // A record file's reader does just this: regular files only, opened
    // without blocking on a FIFO, read whole (a file that shrinks under us is
    // a short read, not a SIGBUS as a mapping would give), size bounded.
    std::string bytes;
    int code = 0;
    if (!readRegularFile(file.string(), bytes, code, kMaxComponentFileSize)) {
        if (error) *error = code;
        return std::nullopt;
    }
    return ComponentFile(std::move(bytes));
}

std::optional<MappedFile> MappedFile::open(const std::filesystem::path& file, int* error) {
    auto fail = [&](int code) -> std::optional<MappedFile> {
        if (error) *error = code;
        return std::nullopt;
    };
    // Without blocking: a FIFO named like a library must not hold the loader host.
    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int code = errno;
        ::close(fd);
        return fail(code);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    auto size = static_cast<size_t>(info.st_size);
    if (size == 0) {
        ::close(fd);
        return MappedFile(nullptr, 0);
    }
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    int code = errno;
    ::close(fd);
    if (address == MAP_FAILED) return fail(code);
    return MappedFile(address, size);
}

MappedFile::MappedFile(MappedFile&& other) noexcept : address_(other.address_), size_(other.size_) {
    other.address_ = nullptr;
    other.size_ = 0;
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        if (address_) ::munmap(address_, size_);
        address_ = other.address_;
        size_ = other.size_;
        other.address_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

MappedFile::~MappedFile() {
    if (address_) ::munmap(address_, size_);
}

std::optional<ComponentVersion> readComponentVersion(const std::filesystem::path& file) {
    auto mapped = ComponentFile::open(file);
    if (!mapped) return std::nullopt;
    auto image = PeImage::parse(mapped->bytes());
    if (!image) return std::nullopt;
    auto data = image->firstResource(ResourceName::number(kRtVersion));
    if (!data) return std::nullopt;
    auto resource = VersionResource::parse(*data);
    if (!resource) return std::nullopt;
    return componentVersion(*resource);
}

bool componentExports(const std::filesystem::path& file, std::string_view function) {
    auto mapped = ComponentFile::open(file);
    if (!mapped) return false;
    auto image = PeImage::parse(mapped->bytes());
    return image && image->exportsName(function);
}

std::optional<TypeLibrary> typeLibraryOf(std::string_view fileBytes) {
    if (looksLikeTypeLibrary(fileBytes)) return parseTypeLibrary(fileBytes);
    auto image = PeImage::parse(fileBytes);
    if (!image) return std::nullopt;
    auto data = image->findResource(ResourceName::text("TYPELIB"), ResourceName::number(1));
    if (!data) return std::nullopt;
    return parseTypeLibrary(*data);
}

ComponentReport describeComponent(std::string_view fileBytes) {
    ComponentReport report;
    if (looksLikeTypeLibrary(fileBytes)) {
        report.format = ComponentReport::Format::TypeLibrary;
        report.typeLibrary = parseTypeLibrary(fileBytes);
        return report;
    }
    auto image = PeImage::parse(fileBytes);
    if (!image) return report;
    report.format = image->is64Bit() ? ComponentReport::Format::Pe32Plus : ComponentReport::Format::Pe32;
    report.machine = image->machine();
    report.dll = image->isDll();
    if (auto data = image->firstResource(ResourceName::number(kRtVersion))) {
        if (auto resource = VersionResource::parse(*data)) {
            report.fixedInfo = resource->fixedInfo();
            report.version = componentVersion(*resource);
        }
    }
    report.exports = image->exportedNames();
    report.exportsRegisterServer = image->exportsName("DllRegisterServer");
    report.exportsUnregisterServer = image->exportsName("DllUnregisterServer");
    report.imports = image->importedLibraries();
    report.delayLoadImports = image->delayLoadedLibraries();
    report.typeLibrary = typeLibraryOf(fileBytes);
    return report;
}

std::optional<TypeLibrary> loadTypeLibrary(const std::filesystem::path& file) {
    auto mapped = ComponentFile::open(file);
    if (!mapped) return std::nullopt;
    return typeLibraryOf(mapped->bytes());
}

}  // namespace pcn::pe
