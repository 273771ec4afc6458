#pragma once
// ELF shared objects as the dependency scanner needs them, found and read
// without loading them: loading a library runs its constructors, and the
// scanner must run nothing of a component's but in the loader host.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

// The class (1: 32-bit, 2: 64-bit) and machine (e_machine) of an ELF file.
struct ElfIdentity {
    uint8_t elfClass = 0;
    uint16_t machine = 0;
    bool operator==(const ElfIdentity&) const = default;
};

// The identity of a regular ELF file; none for anything else. A FIFO or a
// device is never opened for reading (it could block or never end).
std::optional<ElfIdentity> elfIdentity(const std::string& path);

// The identity of the running program: the libraries the dynamic loader
// would load for it.
ElfIdentity nativeElfIdentity();

// Where the dynamic loader finds libraries of one identity: the folders of
// LD_LIBRARY_PATH, then the ld.so cache, then the default folders. Only
// regular ELF files of the identity count. The cache is read once.
class ElfLibrarySearch {
public:
    explicit ElfLibrarySearch(const ElfIdentity& identity, const std::string& cacheFile = "/etc/ld.so.cache");
    std::optional<std::string> find(std::string_view name) const;
    // Every path the loader tries for a bare name, in its order, whether or
    // not a file is there; find() is the first of them that fits.
    std::vector<std::string> candidates(std::string_view name) const;
    const ElfIdentity& identity() const { return identity_; }

private:
    ElfIdentity identity_;
    std::vector<std::string> pathFolders_;
    std::vector<std::pair<std::string, std::string>> cache_;
};

// The library names and paths of an ld.so cache file, in its order; empty
// when the file is not one (every offset is checked against its size).
std::vector<std::pair<std::string, std::string>> readLdCache(const std::string& cacheFile);

// Whether an ELF shared object defines `symbol` in its dynamic symbol table.
bool elfDefinesSymbol(const std::string& path, std::string_view symbol);

}  // namespace pcn
