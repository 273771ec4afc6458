#include "verifying/CabinetSet.h"

#include <mspack.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>

#include "platform/Paths.h"
#include "platform/pe/Bytes.h"
#include "platform/pe/Text.h"

namespace pcn::verifying {

namespace fs = std::filesystem;

namespace {

// Our stubs look this far past the image for the cabinet (a signing tool may
// align the data it appends); so does the reader.
constexpr uint64_t kCabinetSearchSpan = 4096;
// The headers of any executable we build fit here.
constexpr size_t kHeaderBytes = 64 * 1024;
// A set longer than the 16-bit index allows is no set.
constexpr size_t kMaxCabinets = 65536;

// The name libmspack is given to write a file's data to: the reader's sink.
constexpr const char* kSinkName = "\x01sink";

// Only regular files are read: opened without blocking, so that a FIFO put
// in a cabinet's place cannot hang us.
FILE* openRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    FILE* f = ::fdopen(fd, "rb");
    if (!f) ::close(fd);
    return f;
}

std::string readHead(const std::string& path, size_t count) {
    std::string bytes(count, '\0');
    FILE* f = openRegularFile(path);
    if (!f) return {};
    bytes.resize(std::fread(bytes.data(), 1, count, f));
    std::fclose(f);
    return bytes;
}

std::string mspackErrorText(int error) {
    switch (error) {
    case MSPACK_ERR_OPEN: return "cannot be opened";
    case MSPACK_ERR_READ: return "ends before its data does (cut short)";
    case MSPACK_ERR_WRITE: return "could not be written out";
    case MSPACK_ERR_SEEK: return "points outside the file (damaged offsets)";
    case MSPACK_ERR_NOMEMORY: return "needs more memory than there is";
    case MSPACK_ERR_SIGNATURE: return "is no cabinet (no MSCF header)";
    case MSPACK_ERR_DATAFORMAT: return "is damaged (its headers or data do not hold together)";
    case MSPACK_ERR_CHECKSUM: return "fails a data block checksum (the data was changed)";
    case MSPACK_ERR_DECRUNCH: return "does not decompress (damaged compressed data)";
    default: return "cannot be read (error " + std::to_string(error) + ")";
    }
}

}  // namespace

// ---- the libmspack side -------------------------------------------------

namespace {

struct Source {
    std::string path;
    uint64_t offset = 0;
    bool inMemory = false;
    std::string_view memory;
};

// What libmspack holds as an mspack_file.
struct OpenFile {
    enum Kind { Disk, Memory, Sink } kind = Disk;
    FILE* file = nullptr;
    uint64_t base = 0;  // where offset 0 is in the file
    std::string_view memory;
    uint64_t position = 0;  // in memory
    CabinetSet::Reader* reader = nullptr;  // whose sink receives the data
};

}  // namespace

struct CabinetSet::Reader {
    struct System : mspack_system {
        Reader* reader = nullptr;
    } system{};
    mscab_decompressor* cabd = nullptr;
    // libmspack keeps the name pointers it is given: they must stay put.
    std::deque<std::string> names;
    std::map<std::string, Source, std::less<>> sources;
    std::vector<mscabd_cabinet*> cabinets;  // set order
    const ByteSink* sink = nullptr;
    bool sinkStopped = false;

    Reader();
    ~Reader() {
        if (cabd) {
            // Closing one cabinet of a merged set closes the whole set.
            if (!cabinets.empty()) cabd->close(cabd, cabinets.front());
            mspack_destroy_cab_decompressor(cabd);
        }
    }

    const char* registerSource(Source source) {
        std::string key = source.path + "@" + std::to_string(source.offset);
        names.push_back(key);
        sources[key] = std::move(source);
        return names.back().c_str();
    }

    mscabd_cabinet* open(Source source, std::string& error) {
        const char* name = registerSource(std::move(source));
        mscabd_cabinet* cab = cabd->open(cabd, name);
        if (!cab) error = mspackErrorText(cabd->last_error(cabd));
        return cab;
    }
};

namespace {

CabinetSet::Reader* readerOf(mspack_system* self) { return static_cast<CabinetSet::Reader::System*>(self)->reader; }
OpenFile* fileOf(mspack_file* f) { return reinterpret_cast<OpenFile*>(f); }

mspack_file* openFile(mspack_system* self, const char* filename, int mode) {
    CabinetSet::Reader* r = readerOf(self);
    if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(filename, kSinkName) == 0 && r->sink)
        return reinterpret_cast<mspack_file*>(new OpenFile{OpenFile::Sink, nullptr, 0, {}, 0, r});
    if (mode != MSPACK_SYS_OPEN_READ) return nullptr;  // nothing else is ever written
    auto it = r->sources.find(std::string_view(filename));
    if (it == r->sources.end()) return nullptr;
    const Source& s = it->second;
    if (s.inMemory) return reinterpret_cast<mspack_file*>(new OpenFile{OpenFile::Memory, nullptr, 0, s.memory, 0, r});
    FILE* f = openRegularFile(s.path);
    if (!f) return nullptr;
    if (fseeko(f, static_cast<off_t>(s.offset), SEEK_SET) != 0) {
        std::fclose(f);
        return nullptr;
    }
    return reinterpret_cast<mspack_file*>(new OpenFile{OpenFile::Disk, f, s.offset, {}, 0, r});
}

// libmspack can hand back a handle it never got (a null one) on damaged
// input: every call checks.
void closeFile(mspack_file* handle) {
    OpenFile* f = fileOf(handle);
    if (!f) return;
    if (f->file) std::fclose(f->file);
    delete f;
}

int readFile(mspack_file* handle, void* buffer, int bytes) {
    OpenFile* f = fileOf(handle);
    if (!f || bytes < 0) return -1;
    if (f->kind == OpenFile::Disk) {
        size_t got = std::fread(buffer, 1, static_cast<size_t>(bytes), f->file);
        return std::ferror(f->file) ? -1 : static_cast<int>(got);
    }
    if (f->kind != OpenFile::Memory) return -1;
    const uint64_t left = f->position < f->memory.size() ? f->memory.size() - f->position : 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, static_cast<uint64_t>(bytes)));
    std::memcpy(buffer, f->memory.data() + f->position, n);
    f->position += n;
    return static_cast<int>(n);
}

int writeFile(mspack_file* handle, void* buffer, int bytes) {
    OpenFile* f = fileOf(handle);
    CabinetSet::Reader* r = f ? f->reader : nullptr;
    if (!f || f->kind != OpenFile::Sink || !r || !r->sink || bytes < 0) return -1;
    if (!(*r->sink)(std::string_view(static_cast<const char*>(buffer), static_cast<size_t>(bytes)))) {
        r->sinkStopped = true;
        return -1;
    }
    return bytes;
}

int seekFile(mspack_file* handle, off_t offset, int mode) {
    OpenFile* f = fileOf(handle);
    if (!f) return -1;
    if (f->kind == OpenFile::Disk) {
        int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
        if (whence == SEEK_SET) offset += static_cast<off_t>(f->base);
        if (whence == SEEK_SET && offset < static_cast<off_t>(f->base)) return -1;
        return fseeko(f->file, offset, whence) == 0 ? 0 : -1;
    }
    if (f->kind != OpenFile::Memory) return -1;
    const int64_t size = static_cast<int64_t>(f->memory.size());
    int64_t target = mode == MSPACK_SYS_SEEK_START ? offset
                     : mode == MSPACK_SYS_SEEK_CUR ? static_cast<int64_t>(f->position) + offset
                                                   : size + offset;
    if (target < 0 || target > size) return -1;
    f->position = static_cast<uint64_t>(target);
    return 0;
}

off_t tellFile(mspack_file* handle) {
    OpenFile* f = fileOf(handle);
    if (!f) return -1;
    if (f->kind == OpenFile::Disk) {
        off_t at = ftello(f->file);
        return at < 0 ? at : at - static_cast<off_t>(f->base);
    }
    return static_cast<off_t>(f->position);
}

// libmspack's warnings ("cabinet is truncated") come with an error code too.
void ignoreMessage(mspack_file*, const char*, ...) {}

void* allocate(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void release(void* p) { std::free(p); }
void copyBytes(void* src, void* dest, size_t bytes) { std::memmove(dest, src, bytes); }

}  // namespace

CabinetSet::Reader::Reader() {
    system.open = openFile;
    system.close = closeFile;
    system.read = readFile;
    system.write = writeFile;
    system.seek = seekFile;
    system.tell = tellFile;
    system.message = ignoreMessage;
    system.alloc = allocate;
    system.free = release;
    system.copy = copyBytes;
    system.null_ptr = nullptr;
    system.reader = this;
    cabd = mspack_create_cab_decompressor(&system);
    // A broken MSZIP block must fail, not come out zero-filled.
    if (cabd) {
        cabd->set_param(cabd, MSCABD_PARAM_FIXMSZIP, 0);
        cabd->set_param(cabd, MSCABD_PARAM_SALVAGE, 0);
    }
}

// ---- helpers ---------------------------------------------------------------

std::string compressionName(int compression) {
    switch (compression & 0x0F) {
    case MSCAB_COMP_NONE: return "none";
    case MSCAB_COMP_MSZIP: return "MSZIP";
    case MSCAB_COMP_QUANTUM: return "Quantum:" + std::to_string((compression >> 8) & 0x1F);
    case MSCAB_COMP_LZX: return "LZX:" + std::to_string((compression >> 8) & 0x1F);
    default: return "unknown (" + std::to_string(compression) + ")";
    }
}

std::string attributeLetters(int attributes) {
    std::string letters = "----";
    if (attributes & MSCAB_ATTRIB_RDONLY) letters[0] = 'R';
    if (attributes & MSCAB_ATTRIB_HIDDEN) letters[1] = 'H';
    if (attributes & MSCAB_ATTRIB_SYSTEM) letters[2] = 'S';
    if (attributes & MSCAB_ATTRIB_ARCH) letters[3] = 'A';
    if (attributes & MSCAB_ATTRIB_EXEC) letters += 'X';
    return letters;
}

std::optional<uint64_t> peImageEnd(std::string_view head) {
    using pe::read16;
    using pe::read32;
    if (head.size() < 64 || head.substr(0, 2) != "MZ") return std::nullopt;
    const auto peAt = read32(head, 0x3C);
    if (!peAt || read32(head, *peAt) != std::optional<uint32_t>(0x00004550)) return std::nullopt;
    const auto sectionCount = read16(head, uint64_t(*peAt) + 6);
    const auto optionalSize = read16(head, uint64_t(*peAt) + 20);
    if (!sectionCount || !optionalSize) return std::nullopt;
    const uint64_t table = uint64_t(*peAt) + 24 + *optionalSize;
    uint64_t end = 0;
    for (uint16_t i = 0; i < *sectionCount; ++i) {
        const uint64_t at = table + uint64_t(i) * 40;
        const auto rawSize = read32(head, at + 16);
        const auto rawOffset = read32(head, at + 20);
        if (!rawSize || !rawOffset) return std::nullopt;
        if (*rawSize) end = std::max(end, uint64_t(*rawOffset) + *rawSize);
    }
    if (end == 0) return std::nullopt;
    return end;
}

std::optional<uint64_t> findAppendedCabinet(const std::string& path) {
    const auto end = peImageEnd(readHead(path, kHeaderBytes));
    if (!end) return std::nullopt;
    FILE* f = openRegularFile(path);
    if (!f) return std::nullopt;
    std::string window(kCabinetSearchSpan + 8, '\0');
    size_t got = 0;
    if (fseeko(f, static_cast<off_t>(*end), SEEK_SET) == 0) got = std::fread(window.data(), 1, window.size(), f);
    std::fclose(f);
    window.resize(got);
    static const std::string_view header("MSCF\0\0\0\0", 8);
    const size_t at = window.find(header);
    if (at == std::string::npos) return std::nullopt;
    return *end + at;
}

namespace {

CabinetPart partOf(const mscabd_cabinet* cab, const std::string& path, uint64_t offset) {
    CabinetPart part;
    part.path = path;
    part.offset = offset;
    part.length = cab->length;
    part.setId = cab->set_id;
    part.setIndex = cab->set_index;
    part.headerReserve = cab->header_resv;
    if ((cab->flags & MSCAB_HDR_PREVCAB) && cab->prevname) part.previousName = cab->prevname;
    if ((cab->flags & MSCAB_HDR_NEXTCAB) && cab->nextname) part.nextName = cab->nextname;
    for (auto* f = cab->folders; f; f = f->next) ++part.folderCount;
    for (auto* f = cab->files; f; f = f->next) ++part.fileCount;
    return part;
}

// The file beside `neighbour` that a header names: the exact name first,
// then any case, as Windows would find it. Names with a folder part, or
// "." and "..", are never followed.
std::optional<std::string> locateSibling(const std::string& neighbour, const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos)
        return std::nullopt;
    const fs::path folder = fs::path(neighbour).parent_path();
    std::error_code ec;
    const fs::path exact = (folder.empty() ? fs::path(".") : folder) / name;
    if (fs::is_regular_file(exact, ec)) return exact.string();
    for (const auto& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec)) {
        if (pe::equalsIgnoringAsciiCase(entry.path().filename().string(), name) && entry.is_regular_file(ec))
            return entry.path().string();
    }
    return std::nullopt;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// What is wrong with `after` continuing `before`, if anything.
std::vector<std::string> linkProblems(const CabinetPart& before, const CabinetPart& after) {
    std::vector<std::string> problems;
    const std::string b = fileNamePart(before.path), a = fileNamePart(after.path);
    if (after.setId != before.setId)
        problems.push_back(a + " belongs to cabinet set " + std::to_string(after.setId) + ", " + b + " to set " +
                           std::to_string(before.setId));
    if (after.setIndex != before.setIndex + 1)
        problems.push_back(a + " is cabinet " + std::to_string(after.setIndex + 1) + " of its set, but follows " + b +
                           ", cabinet " + std::to_string(before.setIndex + 1));
    // A cabinet carried by an executable was written under a name of its own.
    if (before.offset == 0 && !pe::equalsIgnoringAsciiCase(after.previousName, b))
        problems.push_back(a + " names " + after.previousName + " as the cabinet before it, not " + b);
    return problems;
}

}  // namespace

// ---- the set -----------------------------------------------------------------

CabinetSet::CabinetSet() : reader_(std::make_unique<Reader>()) {}
CabinetSet::~CabinetSet() = default;

uint64_t CabinetSet::totalSize() const {
    uint64_t total = 0;
    for (const CabinetEntry& e : entries_) total += e.size;
    return total;
}

bool CabinetSet::openFirst(const std::string& path, uint64_t offset, std::string_view memory, const std::string& name) {
    if (!reader_->cabd) {
        error_ = "the cabinet reader could not start";
        return false;
    }
    Source source{memory.data() ? name : path, offset, memory.data() != nullptr, memory};
    mscabd_cabinet* cab = reader_->open(source, error_);
    if (!cab) return false;
    reader_->cabinets.push_back(cab);
    parts_.push_back(partOf(cab, source.path, offset));
    return true;
}

bool CabinetSet::open(const std::string& path) {
    uint64_t offset = 0;
    errno = 0;
    const std::string head = readHead(path, 4);
    if (head.empty() && errno != 0) {
        error_ = errno == EINVAL ? "is not a regular file" : "cannot be opened: " + std::string(std::strerror(errno));
        return false;
    }
    if (head != "MSCF" && head.substr(0, 2) != "MZ") {
        error_ = "is no cabinet (no MSCF header) and no program carrying one";
        return false;
    }
    if (head.substr(0, 2) == "MZ") {
        const auto found = findAppendedCabinet(path);
        if (!found) {
            error_ = "carries no cabinet after its program image";
            return false;
        }
        offset = *found;
    }
    if (!openFirst(path, offset, {}, path)) return false;
    gatherPrevious();
    gatherNext();
    collectEntries();
    return true;
}

bool CabinetSet::openMemory(std::string_view bytes, const std::string& name) {
    if (!bytes.data()) bytes = std::string_view("", 0);
    if (!openFirst(name, 0, bytes, name)) return false;
    if (!parts_.front().previousName.empty())
        problems_.push_back(name + " continues " + parts_.front().previousName + ", which is not at hand");
    if (!parts_.front().nextName.empty())
        problems_.push_back(name + " continues in " + parts_.front().nextName + ", which is not at hand");
    collectEntries();
    return true;
}

void CabinetSet::gatherPrevious() {
    while (parts_.size() < kMaxCabinets && !parts_.front().previousName.empty()) {
        const CabinetPart& first = parts_.front();
        const std::string wanted = first.previousName;
        auto path = locateSibling(first.path, wanted);
        uint64_t offset = 0;
        mscabd_cabinet* cab = nullptr;
        if (!path) {
            cab = openCarrier(first, path, offset);
            if (!cab) {
                problems_.push_back(wanted + " is missing: " + fileNamePart(first.path) + " continues it");
                return;
            }
        }
        for (const CabinetPart& p : parts_)
            if (!cab && sameFile(p.path, *path)) {
                problems_.push_back(fileNamePart(first.path) + " names " + wanted + " as its predecessor, a cabinet already in the set");
                return;
            }
        std::string why;
        if (!cab) cab = reader_->open({*path, 0, false, {}}, why);
        if (!cab) {
            problems_.push_back(fileNamePart(*path) + " " + why);
            return;
        }
        CabinetPart part = partOf(cab, *path, offset);
        for (std::string& p : linkProblems(part, first)) problems_.push_back(std::move(p));
        if (reader_->cabd->prepend(reader_->cabd, reader_->cabinets.front(), cab) != MSPACK_ERR_OK) {
            problems_.push_back("the data of " + fileNamePart(*path) + " does not continue in " + fileNamePart(first.path));
            reader_->cabd->close(reader_->cabd, cab);
            return;
        }
        reader_->cabinets.insert(reader_->cabinets.begin(), cab);
        parts_.insert(parts_.begin(), std::move(part));
    }
}

// A self-extractor carries the first cabinet of its set under no name of its
// own: the set's second cabinet names one that the build replaced by the
// executable. Such an executable beside the cabinet, whose cabinet continues
// in it, stands in for the missing one.
mscabd_cabinet* CabinetSet::openCarrier(const CabinetPart& continuation, std::optional<std::string>& path,
                                        uint64_t& offset) {
    const fs::path folder = fs::path(continuation.path).parent_path();
    std::error_code ec;
    int looked = 0;
    for (const auto& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec)) {
        const std::string candidate = entry.path().string();
        if (!pe::equalsIgnoringAsciiCase(entry.path().extension().string(), ".exe") || !entry.is_regular_file(ec))
            continue;
        if (++looked > 64) break;
        const auto at = findAppendedCabinet(candidate);
        if (!at) continue;
        std::string why;
        mscabd_cabinet* cab = reader_->open({candidate, *at, false, {}}, why);
        if (!cab) continue;
        if ((cab->flags & MSCAB_HDR_NEXTCAB) && cab->nextname &&
            pe::equalsIgnoringAsciiCase(cab->nextname, fileNamePart(continuation.path)) && cab->set_id == continuation.setId) {
            path = candidate;
            offset = *at;
            return cab;
        }
        reader_->cabd->close(reader_->cabd, cab);
    }
    return nullptr;
}

void CabinetSet::gatherNext() {
    while (parts_.size() < kMaxCabinets && !parts_.back().nextName.empty()) {
        const CabinetPart& last = parts_.back();
        const std::string wanted = last.nextName;
        const auto path = locateSibling(last.path, wanted);
        if (!path) {
            problems_.push_back(wanted + " is missing: " + fileNamePart(last.path) + " continues in it");
            return;
        }
        for (const CabinetPart& p : parts_)
            if (sameFile(p.path, *path) && p.offset == 0) {
                problems_.push_back(fileNamePart(last.path) + " names " + wanted + " as its successor, a cabinet already in the set");
                return;
            }
        std::string why;
        mscabd_cabinet* cab = reader_->open({*path, 0, false, {}}, why);
        if (!cab) {
            problems_.push_back(fileNamePart(*path) + " " + why);
            return;
        }
        CabinetPart part = partOf(cab, *path, 0);
        for (std::string& p : linkProblems(last, part)) problems_.push_back(std::move(p));
        if (reader_->cabd->append(reader_->cabd, reader_->cabinets.back(), cab) != MSPACK_ERR_OK) {
            problems_.push_back("the data of " + fileNamePart(last.path) + " does not continue in " + fileNamePart(*path));
            reader_->cabd->close(reader_->cabd, cab);
            return;
        }
        reader_->cabinets.push_back(cab);
        parts_.push_back(std::move(part));
    }
}

void CabinetSet::collectEntries() {
    // After merging, every cabinet of the set shares one list of folders and files.
    const mscabd_cabinet* first = reader_->cabinets.front();
    std::map<const mscabd_folder*, int> folderIndex;
    int n = 0;
    for (const mscabd_folder* f = first->folders; f; f = f->next) folderIndex[f] = n++;
    for (const mscabd_file* f = first->files; f; f = f->next) {
        CabinetEntry e;
        e.name = f->filename ? f->filename : "";
        e.size = f->length;
        e.attributes = f->attribs;
        e.year = f->date_y;
        e.month = f->date_m;
        e.day = f->date_d;
        e.hour = f->time_h;
        e.minute = f->time_m;
        e.second = f->time_s;
        auto it = folderIndex.find(f->folder);
        e.folder = it == folderIndex.end() ? -1 : it->second;
        e.compression = f->folder ? f->folder->comp_type : 0;
        entries_.push_back(std::move(e));
    }
}

bool CabinetSet::extract(size_t entry, const ByteSink& sink, std::string& problem) {
    const mscabd_cabinet* first = reader_->cabinets.empty() ? nullptr : reader_->cabinets.front();
    mscabd_file* file = first ? first->files : nullptr;
    for (size_t i = 0; file && i < entry; ++i) file = file->next;
    if (!file) {
        problem = "no such file in the cabinet";
        return false;
    }
    reader_->sink = &sink;
    reader_->sinkStopped = false;
    const int error = reader_->cabd->extract(reader_->cabd, file, kSinkName);
    reader_->sink = nullptr;
    if (error == MSPACK_ERR_OK) return true;
    problem = reader_->sinkStopped ? "stopped" : mspackErrorText(error);
    return false;
}

bool CabinetSet::readEntry(size_t entry, std::string& bytes, size_t limit, std::string& problem) {
    bytes.clear();
    if (entry < entries_.size() && entries_[entry].size > limit) {
        problem = "is larger than the " + std::to_string(limit) + " bytes such a file can be";
        return false;
    }
    return extract(entry, [&](std::string_view data) {
        if (bytes.size() + data.size() > limit) return false;
        bytes.append(data);
        return true;
    }, problem);
}

}  // namespace pcn::verifying
