// The resolution pass and the register-server test: where a library name
// leads on this machine, and what a library file exports.
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <link.h>
#include <optional>

#include "model/CCabObj.h"
#include "platform/LibrarySearch.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/pe/Component.h"
#include "platform/pe/PeImage.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::web {
namespace {

enum class LibraryKind { None, Elf, Pe };

LibraryKind libraryKind(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    if (!in.read(magic, sizeof magic)) return LibraryKind::None;
    if (std::string_view(magic, 4) == "\x7f" "ELF") return LibraryKind::Elf;
    if (std::string_view(magic, 2) != "MZ") return LibraryKind::None;
    auto mapped = pe::ComponentFile::open(path);
    return mapped && pe::PeImage::parse(mapped->bytes()) ? LibraryKind::Pe : LibraryKind::None;
}

// A path dlopen takes as a file, never as a name to search for.
std::string asFilePath(const std::string& path) {
    return path.find('/') == std::string::npos ? "./" + path : path;
}

// The system's own search: a bare name goes to the dynamic loader (which
// tells where it found the library); a path is taken as it stands.
std::optional<std::string> systemSearch(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        if (libraryKind(name) == LibraryKind::None) return std::nullopt;
        return std::filesystem::absolute(name).lexically_normal().string();
    }
    void* handle = ::dlopen(name.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle) return std::nullopt;
    std::optional<std::string> path;
    link_map* map = nullptr;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && map->l_name[0] == '/')
        path = map->l_name;
    ::dlclose(handle);
    return path;
}

// A library file in the folder: the name as it stands, or a Windows library
// whose name differs only in case.
std::optional<std::string> findInFolder(FolderLookup& lookup, const std::string& folder, const std::string& name) {
    if (auto exact = lookup.find(folder, name, false); exact && libraryKind(*exact) != LibraryKind::None)
        return exact;
    if (auto folded = lookup.find(folder, name, true); folded && libraryKind(*folded) == LibraryKind::Pe)
        return folded;
    return std::nullopt;
}

uint16_t componentMachine(const std::string& componentPath) {
    auto mapped = pe::ComponentFile::open(componentPath);
    if (mapped)
        if (auto image = pe::PeImage::parse(mapped->bytes())) return image->machine();
    return nativeMachine();
}

}  // namespace

void ResolveDependencyPaths(CCabObj& definition) {
    const CWebObj& web = *definition.m_pWeb;
    const std::string componentFolder =
        web.m_strSourceFolder.empty() ? folderPart(web.m_strFilePath) : web.m_strSourceFolder;
    const std::string folders[] = {
        programFolder(),
        systemLibraryFolder(componentMachine(web.m_strFilePath), SettingsStore::user()),
        componentFolder.empty() ? std::string("./") : componentFolder,
    };
    FolderLookup lookup;
    for (int i = 0; i < definition.GetDependencyCount(); ++i) {
        const std::string name = definition.GetDependencyName(i);
        std::optional<std::string> path = systemSearch(name);
        for (const std::string& folder : folders) {
            if (path) break;
            path = findInFolder(lookup, folder, name);
        }
        if (path)
            definition.SetDependencyName(i, *path);
        else
            definition.SetDependencyOrigin(i, kOriginNotFound);
    }
}

bool HasRegisterServer(const std::string& path) {
    switch (libraryKind(path)) {
        case LibraryKind::Pe: return pe::componentExports(path, "DllRegisterServer");
        case LibraryKind::Elf: {
            void* handle = ::dlopen(asFilePath(path).c_str(), RTLD_LAZY | RTLD_LOCAL);
            if (!handle) return false;
            bool found = ::dlsym(handle, "DllRegisterServer") != nullptr;
            ::dlclose(handle);
            return found;
        }
        case LibraryKind::None: break;
    }
    return false;
}

}  // namespace pcn::web
