// The resolution pass and the register-server test: where a library name
// leads on this machine, and what a library file exports. Nothing is loaded
// into this program: a library's constructors would run here.
#include <filesystem>
#include <optional>

#include "model/CCabObj.h"
#include "platform/ElfLibrary.h"
#include "platform/LibrarySearch.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/pe/Component.h"
#include "platform/pe/PeImage.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::web {
namespace {

enum class LibraryKind { None, Elf, Pe };

// Read without blocking: a FIFO or a device named like a library is no
// library, and is never opened for reading.
LibraryKind libraryKind(const std::string& path) {
    if (elfIdentity(path)) return LibraryKind::Elf;
    auto mapped = pe::ComponentFile::open(path);
    if (!mapped || !mapped->bytes().starts_with("MZ")) return LibraryKind::None;
    return pe::PeImage::parse(mapped->bytes()) ? LibraryKind::Pe : LibraryKind::None;
}

// The system's own search, without loading anything: a bare name where the
// dynamic loader would find it; a path as it stands.
std::optional<std::string> systemSearch(const std::string& name, const ElfLibrarySearch& loaderSearch) {
    if (name.find('/') != std::string::npos) {
        if (libraryKind(name) == LibraryKind::None) return std::nullopt;
        return std::filesystem::absolute(name).lexically_normal().string();
    }
    return loaderSearch.find(name);
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
    const ElfLibrarySearch loaderSearch(elfIdentity(web.m_strFilePath).value_or(nativeElfIdentity()));
    for (int i = 0; i < definition.GetDependencyCount(); ++i) {
        const std::string name = definition.GetDependencyName(i);
        std::optional<std::string> path = systemSearch(name, loaderSearch);
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
        case LibraryKind::Elf: return elfDefinesSymbol(path, "DllRegisterServer");
        case LibraryKind::None: break;
    }
    return false;
}

}  // namespace pcn::web
