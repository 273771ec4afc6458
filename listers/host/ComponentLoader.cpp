#include "listers/host/ComponentLoader.h"

#include <cstring>
#include <initializer_list>
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include "listers/common/Handshake.h"
#include "listers/host/ImportClosure.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/pe/PeImage.h"

namespace pcn::listers {
namespace {

constexpr size_t kPlaceholderSize = 4096;
// memfd names are limited to 249 bytes with the prefix.
constexpr size_t kMaxPlaceholderName = 200;

bool printableName(std::string_view name) {
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '/') return false;
    return !name.empty() && name.size() <= kMaxPlaceholderName;
}

}  // namespace

bool ComponentLoader::load(const std::string& componentPath) {
    int code = 0;
    auto component = pe::MappedFile::open(componentPath, &code);
    if (!component) {
        error_ = componentPath + ": " + std::strerror(code);
        return false;
    }
    if (component->bytes().starts_with("MZ")) return loadPeComponent(componentPath, std::move(*component));
    return loadSharedObject(componentPath);
}

bool ComponentLoader::loadSharedObject(const std::string& componentPath) {
    // A name without a folder would send dlopen to the system's search path.
    std::string path = componentPath.find('/') == std::string::npos ? "./" + componentPath : componentPath;
    if (::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return true;
    const char* reason = ::dlerror();
    error_ = reason ? reason : componentPath + ": cannot be loaded";
    return false;
}

bool ComponentLoader::loadPeComponent(const std::string& componentPath, pe::MappedFile component) {
    images_.push_back(std::move(component));
    std::string_view bytes = images_.back().bytes();
    auto image = pe::PeImage::parse(bytes);
    if (!image) {
        error_ = componentPath + ": damaged or no PE image";
        return false;
    }

    std::string componentFolder = folderPart(componentPath);
    if (componentFolder.empty()) componentFolder = "./";
    const std::string programFolder = pcn::programFolder();
    const std::string systemFolder = systemLibraryFolder(image->machine(), SettingsStore::user());

    LocateImport locate = [&](std::string_view name, uint16_t machine) -> std::optional<FoundImage> {
        for (const std::string* folder : std::initializer_list<const std::string*>{&componentFolder, &programFolder, &systemFolder}) {
            auto path = lookup_.find(*folder, name, true);
            if (!path) continue;
            auto mapped = pe::MappedFile::open(*path);
            if (!mapped) continue;
            auto library = pe::PeImage::parse(mapped->bytes());
            // The loader passes over a file of another architecture and looks on.
            if (!library || library->machine() != machine) continue;
            images_.push_back(std::move(*mapped));
            return FoundImage{*path, images_.back().bytes()};
        }
        return std::nullopt;
    };

    auto modules = walkImports(componentPath, bytes, locate);
    if (!modules) return false;
    for (const ImportedModule& module : *modules)
        if (module.path.empty()) listUnresolved(module.name);
    return true;
}

void ComponentLoader::listUnresolved(const std::string& name) {
    ++unresolved_;
    if (placeholdersExhausted_ || !printableName(name)) return;
    std::string memoryName = std::string(kUnresolvedPrefix) + name;
    int fd = ::memfd_create(memoryName.c_str(), MFD_CLOEXEC);
    if (fd < 0) {
        placeholdersExhausted_ = true;
        return;
    }
    void* address = MAP_FAILED;
    if (::ftruncate(fd, kPlaceholderSize) == 0)
        address = ::mmap(nullptr, kPlaceholderSize, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    // Out of mappings: the remaining names stay unlisted rather than failing the load.
    if (address == MAP_FAILED) placeholdersExhausted_ = true;
}

}  // namespace pcn::listers
