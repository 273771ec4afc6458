// The resolution pass and the register-server test: where a library name
// leads on this machine, and what a library file exports. Nothing is loaded
// into this program: a library's constructors would run here.
#include <filesystem>
#include <optional>
#include <vector>

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

uint16_t componentMachine(const std::string& componentPath) {
    auto mapped = pe::ComponentFile::open(componentPath);
    if (mapped)
        if (auto image = pe::PeImage::parse(mapped->bytes())) return image->machine();
    return nativeMachine();
}

// Where a name leads: the system's own search first, then the program,
// system and component folders. Nothing is loaded.
class DependencyLocator {
public:
    explicit DependencyLocator(const CWebObj& web)
        : folders_{programFolder(), systemLibraryFolder(componentMachine(web.m_strFilePath), SettingsStore::user()),
                   componentFolderOf(web)},
          loaderSearch_(elfIdentity(web.m_strFilePath).value_or(nativeElfIdentity())) {}

    std::optional<std::string> locate(const std::string& name) {
        if (auto path = systemSearch(name)) return path;
        for (const std::string& folder : folders_)
            if (auto path = findInFolder(folder, name)) return path;
        return std::nullopt;
    }

    // The first place looked at that holds something, and why that is not
    // the library; else where the search went.
    std::string whyNotFound(const std::string& name) {
        std::vector<std::string> places =
            name.find('/') != std::string::npos ? std::vector<std::string>{name} : loaderSearch_.candidates(name);
        for (const std::string& folder : folders_)
            if (auto path = lookup_.find(folder, name, true)) places.push_back(*path);
        for (const std::string& place : places)
            if (auto reason = whyNoLibrary(place)) return place + ": " + *reason;
        if (name.find('/') != std::string::npos) return name + ": no such file";
        return "not in LD_LIBRARY_PATH, the loader cache, the default library folders, nor the program, system "
               "or component folder";
    }

private:
    static std::string componentFolderOf(const CWebObj& web) {
        const std::string folder = web.m_strSourceFolder.empty() ? folderPart(web.m_strFilePath) : web.m_strSourceFolder;
        return folder.empty() ? std::string("./") : folder;
    }

    // A bare name where the dynamic loader would find it; a path as it stands.
    std::optional<std::string> systemSearch(const std::string& name) const {
        if (name.find('/') != std::string::npos) {
            if (libraryKind(name) == LibraryKind::None) return std::nullopt;
            return std::filesystem::absolute(name).lexically_normal().string();
        }
        return loaderSearch_.find(name);
    }

    // A library file in the folder: the name as it stands, or a Windows
    // library whose name differs only in case.
    std::optional<std::string> findInFolder(const std::string& folder, const std::string& name) {
        if (auto exact = lookup_.find(folder, name, false); exact && libraryKind(*exact) != LibraryKind::None)
            return exact;
        if (auto folded = lookup_.find(folder, name, true); folded && libraryKind(*folded) == LibraryKind::Pe)
            return folded;
        return std::nullopt;
    }

    // Why an existing file is not the library the component needs; nullopt
    // when nothing is there (or, oddly, it is one after all).
    std::optional<std::string> whyNoLibrary(const std::string& path) const {
        std::error_code error;
        const auto status = std::filesystem::status(path, error);
        if (error || !std::filesystem::exists(status)) return std::nullopt;
        switch (status.type()) {
            case std::filesystem::file_type::regular: break;
            case std::filesystem::file_type::directory: return "a folder, not a library";
            case std::filesystem::file_type::fifo: return "a FIFO, not a library (not opened)";
            case std::filesystem::file_type::block:
            case std::filesystem::file_type::character: return "a device, not a library (not opened)";
            default: return "not a regular file";
        }
        if (auto identity = elfIdentity(path))
            return *identity == loaderSearch_.identity()
                       ? std::nullopt
                       : std::optional<std::string>("an ELF file for another architecture than the component");
        if (libraryKind(path) == LibraryKind::Pe) return std::nullopt;
        return "neither a Linux shared object nor a Windows library";
    }

    const std::string folders_[3];
    FolderLookup lookup_;
    const ElfLibrarySearch loaderSearch_;
};

}  // namespace

void ResolveDependencyPaths(CCabObj& definition) {
    DependencyLocator locator(*definition.m_pWeb);
    for (int i = 0; i < definition.GetDependencyCount(); ++i) {
        if (auto path = locator.locate(definition.GetDependencyName(i)))
            definition.SetDependencyName(i, *path);
        else
            definition.SetDependencyOrigin(i, kOriginNotFound);
    }
}

std::vector<std::string> UnresolvedDependencyReasons(const CCabObj& definition) {
    DependencyLocator locator(*definition.m_pWeb);
    std::vector<std::string> reasons(definition.GetDependencyCount());
    for (int i = 0; i < definition.GetDependencyCount(); ++i)
        if (definition.GetDependencyOrigin(i) == kOriginNotFound)
            reasons[i] = locator.whyNotFound(definition.GetDependencyName(i));
    return reasons;
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
