#include "platform/ElfLibrary.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

// Large enough for any library; a bigger file is no library we can read.
constexpr size_t kMaxLibrarySize = size_t(512) << 20;
constexpr size_t kMaxCacheSize = size_t(64) << 20;

// The first bytes of a regular file, opened without blocking.
std::string fileStart(const std::string& path, size_t count) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat info {};
    std::string bytes(count, '\0');
    ssize_t got = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) got = ::read(fd, bytes.data(), count);
    ::close(fd);
    bytes.resize(got > 0 ? size_t(got) : 0);
    return bytes;
}

template <typename T>
bool readAt(std::string_view bytes, uint64_t offset, T& value) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return true;
}

// A zero-terminated string at offset inside [table, table + size).
std::string_view stringAt(std::string_view bytes, uint64_t table, uint64_t size, uint64_t offset) {
    if (table > bytes.size() || size > bytes.size() - table || offset >= size) return {};
    std::string_view strings = bytes.substr(table + offset, size - offset);
    const size_t end = strings.find('\0');
    return end == std::string_view::npos ? std::string_view() : strings.substr(0, end);
}

template <typename Ehdr, typename Shdr, typename Sym>
bool definesSymbol(std::string_view bytes, std::string_view symbol) {
    Ehdr header;
    if (!readAt(bytes, 0, header) || header.e_shentsize != sizeof(Shdr)) return false;
    for (uint32_t i = 0; i < header.e_shnum; ++i) {
        Shdr section;
        if (!readAt(bytes, header.e_shoff + uint64_t(i) * sizeof(Shdr), section) || section.sh_type != SHT_DYNSYM)
            continue;
        Shdr strings;
        if (section.sh_link >= header.e_shnum ||
            !readAt(bytes, header.e_shoff + uint64_t(section.sh_link) * sizeof(Shdr), strings))
            return false;
        const uint64_t count = section.sh_entsize == sizeof(Sym) ? section.sh_size / sizeof(Sym) : 0;
        for (uint64_t k = 0; k < count; ++k) {
            Sym entry;
            if (!readAt(bytes, section.sh_offset + k * sizeof(Sym), entry)) return false;
            if (entry.st_shndx != SHN_UNDEF &&
                stringAt(bytes, strings.sh_offset, strings.sh_size, entry.st_name) == symbol)
                return true;
        }
    }
    return false;
}

std::vector<std::string> splitPath(const char* list) {
    std::vector<std::string> folders;
    if (!list) return folders;
    std::string_view rest(list);
    while (true) {
        const size_t colon = rest.find(':');
        std::string_view folder = rest.substr(0, colon);
        if (!folder.empty()) folders.emplace_back(folder);
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return folders;
}

std::vector<std::string> defaultFolders(const ElfIdentity& identity) {
    std::vector<std::string> folders;
#if defined(__x86_64__)
    if (identity.elfClass == ELFCLASS64) folders = {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64", "/usr/lib64"};
    else folders = {"/lib/i386-linux-gnu", "/usr/lib/i386-linux-gnu", "/lib32", "/usr/lib32"};
#elif defined(__aarch64__)
    folders = {"/lib/aarch64-linux-gnu", "/usr/lib/aarch64-linux-gnu", "/lib64", "/usr/lib64"};
#endif
    folders.insert(folders.end(), {"/lib", "/usr/lib"});
    return folders;
}

bool fitsIdentity(const std::string& path, const ElfIdentity& identity) {
    const auto found = elfIdentity(path);
    return found && *found == identity;
}

}  // namespace

std::optional<ElfIdentity> elfIdentity(const std::string& path) {
    const std::string start = fileStart(path, 20);
    if (start.size() < 20 || !start.starts_with("\x7f" "ELF") || start[EI_DATA] != ELFDATA2LSB) return std::nullopt;
    ElfIdentity identity;
    identity.elfClass = uint8_t(start[EI_CLASS]);
    identity.machine = uint16_t(uint8_t(start[18]) | uint8_t(start[19]) << 8);
    return identity;
}

ElfIdentity nativeElfIdentity() {
    static const ElfIdentity native = elfIdentity("/proc/self/exe").value_or(ElfIdentity{});
    return native;
}

std::vector<std::pair<std::string, std::string>> readLdCache(const std::string& cacheFile) {
    std::vector<std::pair<std::string, std::string>> libraries;
    std::string bytes;
    int error = 0;
    if (!readRegularFile(cacheFile, bytes, error, kMaxCacheSize)) return libraries;
    // The new format stands alone, or follows the old one in older files.
    constexpr std::string_view kMagic = "glibc-ld.so.cache1.1";
    const size_t base = bytes.find(kMagic);
    if (base == std::string::npos) return libraries;
    const std::string_view cache = std::string_view(bytes).substr(base);
    uint32_t count = 0, stringsSize = 0;
    if (!readAt(cache, 20, count) || !readAt(cache, 24, stringsSize)) return libraries;
    constexpr uint64_t kHeaderSize = 48, kEntrySize = 24;
    for (uint64_t i = 0; i < count; ++i) {
        uint32_t key = 0, value = 0;
        const uint64_t entry = kHeaderSize + i * kEntrySize;
        if (!readAt(cache, entry + 4, key) || !readAt(cache, entry + 8, value)) break;
        // String offsets count from the start of the new format's header.
        const std::string_view name = stringAt(cache, 0, cache.size(), key);
        const std::string_view path = stringAt(cache, 0, cache.size(), value);
        if (!name.empty() && !path.empty()) libraries.emplace_back(name, path);
    }
    return libraries;
}

ElfLibrarySearch::ElfLibrarySearch(const ElfIdentity& identity, const std::string& cacheFile)
    : identity_(identity), pathFolders_(splitPath(std::getenv("LD_LIBRARY_PATH"))), cache_(readLdCache(cacheFile)) {}

std::vector<std::string> ElfLibrarySearch::candidates(std::string_view name) const {
    std::vector<std::string> paths;
    if (name.empty() || name.find('/') != std::string_view::npos) return paths;
    for (const std::string& folder : pathFolders_) paths.push_back(withTrailingSeparator(folder) + std::string(name));
    for (const auto& [library, path] : cache_)
        if (library == name) paths.push_back(path);
    for (const std::string& folder : defaultFolders(identity_)) paths.push_back(folder + "/" + std::string(name));
    return paths;
}

std::optional<std::string> ElfLibrarySearch::find(std::string_view name) const {
    for (std::string& path : candidates(name))
        if (fitsIdentity(path, identity_)) return std::move(path);
    return std::nullopt;
}

bool elfDefinesSymbol(const std::string& path, std::string_view symbol) {
    const auto identity = elfIdentity(path);
    if (!identity) return false;
    std::string bytes;
    int error = 0;
    if (!readRegularFile(path, bytes, error, kMaxLibrarySize)) return false;
    return identity->elfClass == ELFCLASS64 ? definesSymbol<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym>(bytes, symbol)
                                            : definesSymbol<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym>(bytes, symbol);
}

}  // namespace pcn
