#pragma once
// A cabinet, or the whole set of cabinets it belongs to, read back through
// libmspack's cabinet decompressor: what the set holds and every file's data,
// as the extractor on a Windows machine will meet them. A cabinet can sit in
// a file of its own, behind a self-extractor's image, or in memory.
//
// Cabinets of a set are looked for beside the one given, under the names the
// headers give (compared ignoring case, as Windows does); a name that is no
// plain file name is never followed.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct mscabd_cabinet;  // libmspack's

namespace pcn::verifying {

// One cabinet of the set.
struct CabinetPart {
    std::string path;           // the file holding it
    uint64_t offset = 0;        // where it begins in that file (0 for a .CAB)
    uint32_t length = 0;        // its size as its header gives it
    uint16_t setId = 0;
    uint16_t setIndex = 0;      // within the set, from 0
    uint16_t headerReserve = 0; // bytes reserved in the header (room for a signature)
    std::string previousName;   // the cabinet it continues, as named in its header
    std::string nextName;       // the cabinet that continues it
    int folderCount = 0;
    int fileCount = 0;          // files whose entries this cabinet carries
};

// One file of the set.
struct CabinetEntry {
    std::string name;  // as stored, '\' between folders
    uint32_t size = 0;
    int attributes = 0;  // read-only 0x01, hidden 0x02, system 0x04, archive 0x20, run 0x40, UTF-8 name 0x80
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int folder = 0;       // index of its folder within the set, from 0
    int compression = 0;  // the folder's compression type word (low 4 bits: 0 none, 1 MSZIP, 3 LZX)
};

// "none", "MSZIP", "LZX:21", "Quantum:7" or "unknown (N)".
std::string compressionName(int compression);
// "RHSA" style letters for the attributes, '-' where one is not set.
std::string attributeLetters(int attributes);

// Where the image of a Windows executable ends in its file (the end of the
// last section's raw data), read from its headers; nullopt when the bytes
// given (the file's start) are no PE image or its headers do not fit them.
std::optional<uint64_t> peImageEnd(std::string_view head);
// The offset of a cabinet appended to an executable: "MSCF" and a zero
// reserved field found within the first 4096 bytes after the image, as our
// stubs look for it; nullopt when there is none.
std::optional<uint64_t> findAppendedCabinet(const std::string& path);

// Receives a file's data piece by piece; returning false stops the extraction.
using ByteSink = std::function<bool(std::string_view)>;

class CabinetSet {
public:
    CabinetSet();
    ~CabinetSet();
    CabinetSet(const CabinetSet&) = delete;
    CabinetSet& operator=(const CabinetSet&) = delete;

    // Opens the cabinet in the file (a cabinet, or an executable carrying
    // one) and the cabinets before and after it in its set. False, with
    // error() saying why, when the file holds no readable cabinet; a set
    // that is not whole opens, with problems() saying what is wrong.
    bool open(const std::string& path);
    // The same for a cabinet in memory, which must outlive the set; the name
    // is used in messages. No other cabinet is looked for.
    bool openMemory(std::string_view bytes, const std::string& name);

    const std::string& error() const { return error_; }
    // What keeps the set from being whole: a cabinet that is missing, not
    // readable, of another set or out of order, folders that do not continue.
    const std::vector<std::string>& problems() const { return problems_; }
    // The cabinets read, in set order.
    const std::vector<CabinetPart>& parts() const { return parts_; }
    const std::vector<CabinetEntry>& entries() const { return entries_; }
    uint64_t totalSize() const;

    // Decompresses one file and hands its data to the sink; libmspack checks
    // each data block against its checksum on the way. False with the reason
    // when the data is damaged, cut short or the sink stopped.
    bool extract(size_t entry, const ByteSink& sink, std::string& problem);
    // A file's whole data, when it is at most limit bytes.
    bool readEntry(size_t entry, std::string& bytes, size_t limit, std::string& problem);

    struct Reader;  // the libmspack side

private:
    bool openFirst(const std::string& path, uint64_t offset, std::string_view memory, const std::string& name);
    void gatherPrevious();
    ::mscabd_cabinet* openCarrier(const CabinetPart& continuation, std::optional<std::string>& path, uint64_t& offset);
    void gatherNext();
    void collectEntries();

    std::unique_ptr<Reader> reader_;
    std::string error_;
    std::vector<std::string> problems_;
    std::vector<CabinetPart> parts_;
    std::vector<CabinetEntry> entries_;
};

}  // namespace pcn::verifying
