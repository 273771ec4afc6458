#include "cabinet/CabinetCompressor.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory_resource>
#include <new>
#include <string>
#include <vector>

#include "cabinet/DeflateWorkers.h"
#include "cabinet/LzxEncoder.h"

namespace pcn::cabinet {

namespace {

// Fixed sizes of the format's structures.
constexpr uint32_t kHeaderSize = 36;
constexpr uint32_t kReserveFieldsSize = 4;
constexpr uint32_t kFolderEntrySize = 8;
constexpr uint32_t kFileEntrySize = 16;
constexpr uint32_t kDataHeaderSize = 8;

constexpr uint16_t kFlagPreviousCabinet = 0x0001;
constexpr uint16_t kFlagNextCabinet = 0x0002;
constexpr uint16_t kFlagReservePresent = 0x0004;

constexpr uint16_t kContinuedFromPrevious = 0xFFFD;
constexpr uint16_t kContinuedToNext = 0xFFFE;
constexpr uint16_t kContinuedPreviousAndNext = 0xFFFF;

constexpr uint16_t kAttributeExecute = 0x40;
constexpr uint16_t kAttributeNameIsUtf8 = 0x80;

// Bytes a split needs on top of the cabinet's contents: the next cabinet's
// name and disk name (at most 255 bytes each plus the terminator) and a data
// block header with at least one byte of the block.
constexpr uint32_t kLinkNamesRoom = 2 * kNameBufferSize;

constexpr uint32_t kCopyChunk = 1 << 20;
constexpr uint32_t kWriteBufferSize = 256 * 1024;

// Memory taken through the client's allocate and free callbacks.
class CallbackMemory : public std::pmr::memory_resource {
public:
    CallbackMemory(const CabinetCallbacks& callbacks, void* client) : callbacks_(callbacks), client_(client) {}

private:
    void* do_allocate(size_t bytes, size_t) override {
        void* p = callbacks_.allocate(bytes == 0 ? 1 : bytes, client_);
        if (!p) throw std::bad_alloc();
        return p;
    }
    void do_deallocate(void* p, size_t, size_t) override { callbacks_.release(p, client_); }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

    const CabinetCallbacks& callbacks_;
    void* client_;
};

void put16(std::pmr::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::pmr::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void putString(std::pmr::vector<uint8_t>& out, const char* s, size_t n) {
    out.insert(out.end(), s, s + n);
    out.push_back(0);
}

bool hasNonAscii(const char* s) {
    for (; *s; ++s)
        if (static_cast<unsigned char>(*s) >= 0x80) return true;
    return false;
}

size_t boundedLength(const char* s) { return strnlen(s, kNameBufferSize); }

}  // namespace

const char* cabinetErrorText(int32_t code) {
    switch (code) {
    case 0: return "No error(FCIERR_NONE)";
    case 1: return "Failure opening file to be stored in cabinet(FCIERR_OPEN_SRC)";
    case 2: return "Failure reading file to be stored in cabinet(FCIERR_READ_SRC)";
    case 3: return "Insufficient memory in FCI(FCIERR_ALLOC_FAIL)";
    case 4: return "Could not create a temporary file(FCIERR_TEMP_FILE)";
    case 5: return "Unknown compression type(FCIERR_BAD_COMPR_TYPE)";
    case 6: return "Could not create cabinet file(FCIERR_CAB_FILE)";
    case 7: return "Client requested abort(FCIERR_USER_ABORT)";
    case 8: return "Failure compressing data(FCIERR_MCI_FAIL)";
    default: return "Unknown error";
    }
}

uint32_t cabinetChecksum(const uint8_t* bytes, size_t count, uint32_t seed) {
    uint32_t sum = seed;
    size_t words = count / 4;
    const uint8_t* p = bytes;
    for (; words > 0; --words, p += 4)
        sum ^= uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    // The 1 to 3 bytes left over are packed with the first byte highest.
    uint32_t rest = 0;
    switch (count & 3) {
    case 3: rest = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]; break;
    case 2: rest = (uint32_t(p[0]) << 8) | p[1]; break;
    case 1: rest = p[0]; break;
    default: break;
    }
    return sum ^ rest;
}

struct FileRecord {
    std::pmr::string name;
    uint32_t size = 0;
    uint32_t folderOffset = 0;  // in the folder's whole uncompressed data, across cabinets
    uint16_t date = 0, time = 0, attributes = 0;
    uint16_t folderField = 0;  // folder index or continuation marker, once known

    uint32_t entryBytes() const { return kFileEntrySize + uint32_t(name.size()) + 1; }
};

struct FolderRecord {
    uint64_t dataOffset = 0;  // of its first data block in the cabinet's temporary data file
    uint32_t blocks = 0;      // data block records in this cabinet
    CompressionType type = 0;
};

class CompressorError {};  // unwinds to the public entry point; the record is already filled

struct CabinetCompressor {
    CabinetCompressor(CabinetError* e, const CabinetCallbacks& c, const CabinetParams& p, void* cl,
                      const CompressionTuning& t)
        : memory(callbacks, cl), error(e), callbacks(c), params(p), client(cl), tuning(t) {}

    CallbackMemory memory;
    CabinetError* error;
    CabinetCallbacks callbacks;
    CabinetParams params;
    void* client;
    CompressionTuning tuning;
    DeflateWorkers* workers = nullptr;
    LzxEncoder* lzx = nullptr;  // made for the first LZX folder, remade when the window changes

    NextCabinetCallback nextCabinet = nullptr;
    StatusCallback status = nullptr;

    // The cabinet being filled.
    uint16_t cabinetIndex = 0;
    bool hasPrevious = false;
    bool setFinished = false;  // a cabinet without successor was written
    std::pmr::string previousCabinet{&memory}, previousDisk{&memory};
    FileHandle temp = -1;
    std::pmr::string tempName{&memory};
    uint64_t tempSize = 0;
    std::pmr::vector<uint8_t> writeBuffer{&memory};
    std::pmr::vector<FolderRecord> folders{&memory};
    std::pmr::vector<FileRecord> files{&memory};  // of the closed folders
    uint64_t filesEntryBytes = 0;

    // The open folder.
    bool folderOpen = false;
    CompressionType folderType = 0;
    bool folderFromPrevious = false;  // began in an earlier cabinet
    bool folderSplit = false;         // continues into a later cabinet
    uint64_t folderBytes = 0;         // uncompressed bytes taken in
    uint64_t committedBytes = 0;      // uncompressed bytes written as blocks
    uint32_t folderBlocks = 0;        // blocks started
    uint32_t folderSplits = 0;
    FolderRecord current;
    std::pmr::vector<FileRecord> folderFiles{&memory};
    size_t continuedFrom = 0;  // first file of the part carried into later cabinets
    uint64_t folderEntryBytes = 0;

    // Block ring: `head` is the block being filled, `tail` the oldest not written.
    uint64_t head = 0, tail = 0;
    uint32_t fill = 0;

    // ---- errors ----
    [[noreturn]] void fail(int32_t code, int number) {
        error->code = code;
        error->errorNumber = number;
        error->present = 1;
        throw CompressorError();
    }

    // ---- sizes ----
    uint32_t maxSize() const { return params.maxCabinetSize == 0 ? kDefaultMaxCabinetSize : params.maxCabinetSize; }
    bool reservePresent() const {
        return params.headerReserve != 0 || params.folderReserve != 0 || params.dataReserve != 0;
    }
    uint32_t recordHeaderSize() const { return kDataHeaderSize + params.dataReserve; }
    uint32_t splitRoom() const { return kLinkNamesRoom + recordHeaderSize() + 1; }

    uint64_t headerBytes(const CabinetParams* next) const {
        uint64_t size = kHeaderSize;
        if (reservePresent()) size += kReserveFieldsSize + params.headerReserve;
        if (hasPrevious) size += previousCabinet.size() + 1 + previousDisk.size() + 1;
        if (next) size += boundedLength(next->cabinetName) + 1 + boundedLength(next->diskName) + 1;
        return size;
    }
    size_t folderCount() const { return folders.size() + (folderOpen ? 1 : 0); }
    size_t listedFileCount() const { return files.size() + listedFolderFiles(); }
    size_t listedFolderFiles() const {
        if (!folderOpen) return 0;
        return folderFromPrevious ? folderFiles.size() - continuedFrom : folderFiles.size();
    }
    uint64_t cabinetSize(const CabinetParams* next) const {
        return headerBytes(next) + folderCount() * (kFolderEntrySize + params.folderReserve) + filesEntryBytes +
               folderEntryBytes + tempSize + writeBuffer.size();
    }

    // ---- callbacks ----
    void reportStatus(int kind, uint32_t a, uint32_t b) {
        if (status && status(kind, a, b, client) == -1) fail(kErrorUserAbort, 0);
    }

    void ensureTemp() {
        if (temp != -1) return;
        char name[kNameBufferSize] = {};
        if (!callbacks.temporaryFileName(name, int(sizeof name), client) || name[0] == 0)
            fail(kErrorTemporaryFile, 0);
        int err = 0;
        FileHandle h = callbacks.open(name, O_RDWR | O_CREAT | O_EXCL | O_TRUNC, 0600, &err, client);
        if (h == -1) fail(kErrorTemporaryFile, err);
        temp = h;
        tempName = name;
        tempSize = 0;
    }

    void writeTemp(const uint8_t* data, uint32_t count) {
        if (writeBuffer.capacity() < kWriteBufferSize) writeBuffer.reserve(kWriteBufferSize);
        if (writeBuffer.size() + count > kWriteBufferSize) flushTemp();
        if (count >= kWriteBufferSize) {
            writeTempDirect(data, count);
            return;
        }
        writeBuffer.insert(writeBuffer.end(), data, data + count);
    }
    void writeTempDirect(const uint8_t* data, uint32_t count) {
        ensureTemp();
        int err = 0;
        if (callbacks.write(temp, data, count, &err, client) != count) fail(kErrorTemporaryFile, err);
        tempSize += count;
    }
    void flushTemp() {
        if (writeBuffer.empty()) return;
        std::pmr::vector<uint8_t> pending{&memory};
        pending.swap(writeBuffer);
        writeTempDirect(pending.data(), uint32_t(pending.size()));
        pending.clear();
        pending.swap(writeBuffer);
    }
    void dropTemp() {
        if (temp == -1) return;
        int err = 0;
        callbacks.close(temp, &err, client);
        callbacks.remove(tempName.c_str(), &err, client);
        temp = -1;
        tempSize = 0;
        tempName.clear();
        writeBuffer.clear();
    }

    // ---- data blocks ----
    void writeRecord(const uint8_t* payload, uint32_t compressed, uint32_t uncompressed) {
        uint8_t header[kDataHeaderSize + kMaxFolderOrDataReserve] = {};
        header[4] = uint8_t(compressed);
        header[5] = uint8_t(compressed >> 8);
        header[6] = uint8_t(uncompressed);
        header[7] = uint8_t(uncompressed >> 8);
        const uint32_t sum = cabinetChecksum(header + 4, 4, cabinetChecksum(payload, compressed, 0));
        for (int i = 0; i < 4; ++i) header[i] = uint8_t(sum >> (8 * i));
        writeTemp(header, recordHeaderSize());
        writeTemp(payload, compressed);
        ++current.blocks;
    }

    bool fitsHere(uint64_t extra) const { return cabinetSize(nullptr) + extra + splitRoom() <= maxSize(); }

    // A block that does not fit is cut: its first part (uncompressed size 0)
    // ends this cabinet, the rest begins the continued folder in the next.
    void commitBlock(const uint8_t* payload, uint32_t compressed, uint32_t uncompressed) {
        while (!fitsHere(recordHeaderSize() + uint64_t(compressed))) {
            if (!folderSplit) {
                // The files that reach into this block or beyond are carried
                // over, in the same order, in every cabinet the folder reaches.
                continuedFrom = 0;
                while (continuedFrom < folderFiles.size()) {
                    const FileRecord& f = folderFiles[continuedFrom];
                    if (uint64_t(f.folderOffset) + f.size > committedBytes || f.folderOffset >= committedBytes) break;
                    ++continuedFrom;
                }
                folderSplit = true;
            }
            CabinetParams next = askNextCabinet();
            const int64_t room = int64_t(maxSize()) - int64_t(cabinetSize(&next)) - int64_t(recordHeaderSize());
            if (room < 1) fail(kErrorCabinetFile, EFBIG);
            const uint32_t part = compressed <= 1 ? compressed : uint32_t(std::min<int64_t>(room, compressed - 1));
            writeRecord(payload, part, 0);
            ++folderSplits;
            completeCabinet(&next);
            beginCabinet(next);
            payload += part;
            compressed -= part;
            if (!fitsHere(recordHeaderSize() + uint64_t(compressed)) && cabinetSize(nullptr) + splitRoom() > maxSize())
                fail(kErrorCabinetFile, EFBIG);  // not even a fresh cabinet holds the continued files
        }
        writeRecord(payload, compressed, uncompressed);
    }

    void commitOldest() {
        DeflateWorkers::Slot& s = workers->slot(tail);
        if (folderType == kCompressionMszip) {
            workers->wait(tail);
            if (s.failed) fail(kErrorCompression, 0);
            commitBlock(s.output, s.outputSize, s.inputSize);
            reportStatus(kStatusBlock, s.outputSize, s.inputSize);
        } else {
            commitBlock(s.input, s.inputSize, s.inputSize);
            reportStatus(kStatusBlock, s.inputSize, s.inputSize);
        }
        committedBytes += s.inputSize;
        ++tail;
    }

    void commitFinished() {
        while (tail < head && workers->isDone(tail)) commitOldest();
    }

    DeflateWorkers::Slot& fillingSlot() {
        if (fill == 0) {
            while (head - tail >= workers->slotCount()) commitOldest();
        }
        return workers->slot(head);
    }

    static bool isLzx(CompressionType type) { return (type & 0x000F) == kCompressionLzx; }
    static unsigned lzxWindowBits(CompressionType type) { return (type >> 8) & 0x1F; }

    void startLzx(CompressionType type) {
        const unsigned bits = lzxWindowBits(type);
        if (lzx && lzx->windowBits() != bits) dropLzx();
        if (!lzx) {
            void* place = memory.allocate(sizeof(LzxEncoder), alignof(LzxEncoder));
            try {
                lzx = new (place) LzxEncoder(&memory, bits, LzxTuning{tuning.level, tuning.threads != 1});
            } catch (...) {
                memory.deallocate(place, sizeof(LzxEncoder), alignof(LzxEncoder));
                throw;
            }
        }
        lzx->beginFolder();
    }

    void dropLzx() {
        if (!lzx) return;
        lzx->~LzxEncoder();
        memory.deallocate(lzx, sizeof(LzxEncoder), alignof(LzxEncoder));
        lzx = nullptr;
    }

    // Each LZX frame is one data block, in order.
    void commitLzxFrames() {
        LzxEncoder::Frame frame;
        while (lzx->nextFrame(frame)) {
            commitBlock(frame.data, frame.compressedSize, frame.uncompressedSize);
            committedBytes += frame.uncompressedSize;
            reportStatus(kStatusBlock, frame.compressedSize, frame.uncompressedSize);
        }
    }

    void submitBlock() {
        if (isLzx(folderType)) {
            lzx->addFrame(workers->slot(head).input, fill);
            ++folderBlocks;
            fill = 0;
            commitLzxFrames();
            return;
        }
        DeflateWorkers::Slot& s = workers->slot(head);
        s.inputSize = fill;
        s.dictionarySize = 0;
        if (folderType == kCompressionMszip) {
            if (folderBlocks > 0) {
                std::memcpy(s.dictionary, workers->slot(head - 1).input, kBlockSize);
                s.dictionarySize = kBlockSize;
            }
            workers->submit(head);
        }
        ++folderBlocks;
        ++head;
        fill = 0;
        if (folderType == kCompressionMszip)
            commitFinished();
        else
            commitOldest();
    }

    void readSource(FileHandle source, uint64_t size) {
        uint64_t remaining = size;
        while (remaining > 0) {
            DeflateWorkers::Slot& s = fillingSlot();
            const uint32_t want = uint32_t(std::min<uint64_t>(remaining, kBlockSize - fill));
            int err = 0;
            const uint32_t got = callbacks.read(source, s.input + fill, want, &err, client);
            if (got == 0 || got > want) fail(kErrorReadSource, err != 0 ? err : EIO);
            fill += got;
            remaining -= got;
            folderBytes += got;
            if (fill == kBlockSize) submitBlock();
        }
    }

    // ---- folders ----
    void openFolder(CompressionType type) {
        folderOpen = true;
        folderType = type;
        folderFromPrevious = false;
        folderSplit = false;
        folderBytes = committedBytes = 0;
        folderBlocks = folderSplits = 0;
        current = FolderRecord{tempSize + writeBuffer.size(), 0, type};
        folderFiles.clear();
        continuedFrom = 0;
        folderEntryBytes = 0;
        if (isLzx(type)) startLzx(type);
    }

    void closeFolder() {
        if (!folderOpen) return;
        if (fill > 0) submitBlock();
        if (isLzx(folderType)) {
            lzx->finish();
            commitLzxFrames();
        }
        while (tail < head) commitOldest();
        const uint16_t index = uint16_t(folders.size());
        for (size_t i = folderFromPrevious ? continuedFrom : 0; i < folderFiles.size(); ++i) {
            FileRecord& f = folderFiles[i];
            f.folderField = folderFromPrevious ? kContinuedFromPrevious : index;
            filesEntryBytes += f.entryBytes();
            files.push_back(std::move(f));
        }
        folders.push_back(current);
        folderOpen = false;
        folderFiles.clear();
        folderEntryBytes = 0;
    }

    // Blocks a folder of `bytes` may need, counting the extra record each
    // continuation into another cabinet adds (readers merge the parts and
    // count the blocks of all of them).
    uint64_t blocksNeeded(uint64_t bytes) const {
        const uint64_t blocks = (bytes + kBlockSize - 1) / kBlockSize;
        const uint64_t perCabinet = maxSize() > 2 * 65536 ? maxSize() - 65536 : maxSize() / 2;
        const uint64_t worstStored = blocks * (kBlockSize + 64 + params.dataReserve);
        return blocks + worstStored / std::max<uint64_t>(perCabinet, 1) + 1;
    }

    // ---- cabinets ----
    CabinetParams askNextCabinet() {
        CabinetParams next = params;
        next.cabinetNumber = params.cabinetNumber + 1;
        if (!nextCabinet || !nextCabinet(&next, uint32_t(std::min<uint64_t>(cabinetSize(nullptr), UINT32_MAX)), client))
            fail(kErrorUserAbort, 0);
        terminateNames(next);
        return next;
    }

    static void terminateNames(CabinetParams& p) {
        p.diskName[kNameBufferSize - 1] = 0;
        p.cabinetName[kNameBufferSize - 1] = 0;
        p.cabinetPath[kNameBufferSize - 1] = 0;
    }

    void beginCabinet(const CabinetParams& next) {
        previousCabinet = params.cabinetName;
        previousDisk = params.diskName;
        hasPrevious = true;
        params = next;
        ++cabinetIndex;
        folders.clear();
        files.clear();
        filesEntryBytes = 0;
        if (folderOpen) {
            // The split folder goes on as the first folder of this cabinet with
            // the files carried over.
            folderFromPrevious = true;
            current = FolderRecord{0, 0, folderType};
            folderEntryBytes = 0;
            for (size_t i = continuedFrom; i < folderFiles.size(); ++i) folderEntryBytes += folderFiles[i].entryBytes();
        }
    }

    std::pmr::vector<uint8_t> buildDirectory(const CabinetParams* next, uint64_t& dataStart) {
        std::pmr::vector<uint8_t> out{&memory};
        const uint64_t directorySize = cabinetSize(next) - tempSize - writeBuffer.size();
        out.reserve(size_t(directorySize));
        dataStart = directorySize;
        const uint64_t total = cabinetSize(next);
        uint16_t flags = 0;
        if (hasPrevious) flags |= kFlagPreviousCabinet;
        if (next) flags |= kFlagNextCabinet;
        if (reservePresent()) flags |= kFlagReservePresent;
        const uint64_t filesOffset = headerBytes(next) + folderCount() * (kFolderEntrySize + params.folderReserve);

        out.insert(out.end(), {'M', 'S', 'C', 'F'});
        put32(out, 0);
        put32(out, uint32_t(total));
        put32(out, 0);
        put32(out, uint32_t(filesOffset));
        put32(out, 0);
        out.push_back(3);  // version 1.3
        out.push_back(1);
        put16(out, uint16_t(folderCount()));
        put16(out, uint16_t(listedFileCount()));
        put16(out, flags);
        put16(out, params.setId);
        put16(out, cabinetIndex);
        if (reservePresent()) {
            put16(out, uint16_t(params.headerReserve));
            out.push_back(uint8_t(params.folderReserve));
            out.push_back(uint8_t(params.dataReserve));
            out.insert(out.end(), params.headerReserve, 0);
        }
        if (hasPrevious) {
            putString(out, previousCabinet.data(), previousCabinet.size());
            putString(out, previousDisk.data(), previousDisk.size());
        }
        if (next) {
            putString(out, next->cabinetName, boundedLength(next->cabinetName));
            putString(out, next->diskName, boundedLength(next->diskName));
        }
        auto putFolder = [&](const FolderRecord& f) {
            put32(out, uint32_t(dataStart + f.dataOffset));
            put16(out, uint16_t(f.blocks));
            put16(out, f.type);
            out.insert(out.end(), params.folderReserve, 0);
        };
        for (const FolderRecord& f : folders) putFolder(f);
        if (folderOpen) putFolder(current);
        auto putFile = [&](const FileRecord& f, uint16_t folderField) {
            put32(out, f.size);
            put32(out, f.folderOffset);
            put16(out, folderField);
            put16(out, f.date);
            put16(out, f.time);
            put16(out, f.attributes);
            putString(out, f.name.data(), f.name.size());
        };
        for (const FileRecord& f : files) putFile(f, f.folderField);
        if (folderOpen) {
            // Only a split folder is still open when its cabinet is written.
            const uint16_t index = uint16_t(folders.size());
            for (size_t i = folderFromPrevious ? continuedFrom : 0; i < folderFiles.size(); ++i) {
                uint16_t field = index;
                if (i >= continuedFrom) field = folderFromPrevious ? kContinuedPreviousAndNext : kContinuedToNext;
                putFile(folderFiles[i], field);
            }
        }
        return out;
    }

    void announcePlacedFiles() {
        if (!callbacks.filePlaced) return;
        auto announce = [&](const FileRecord& f, bool continuation) {
            if (callbacks.filePlaced(&params, f.name.c_str(), f.size, continuation, client) == -1)
                fail(kErrorUserAbort, 0);
        };
        for (const FileRecord& f : files)
            announce(f, f.folderField == kContinuedFromPrevious || f.folderField == kContinuedPreviousAndNext);
        if (folderOpen)
            for (size_t i = folderFromPrevious ? continuedFrom : 0; i < folderFiles.size(); ++i)
                announce(folderFiles[i], folderFromPrevious);
    }

    // Writes the cabinet: header, folder and file entries, then the data
    // blocks copied from the temporary data file.
    void completeCabinet(const CabinetParams* next) {
        flushTemp();
        if (cabinetSize(next) > maxSize()) fail(kErrorCabinetFile, EFBIG);  // the size checks forbid this
        uint64_t dataStart = 0;
        std::pmr::vector<uint8_t> directory = buildDirectory(next, dataStart);
        const uint64_t total = directory.size() + tempSize;

        std::pmr::string path{&memory};
        path = params.cabinetPath;
        path += params.cabinetName;
        int err = 0;
        FileHandle cab = callbacks.open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666, &err, client);
        if (cab == -1) fail(kErrorCabinetFile, err);
        try {
            writeCabinetFile(cab, directory);
        } catch (const CompressorError&) {
            callbacks.remove(path.c_str(), &err, client);
            callbacks.close(cab, &err, client);
            throw;
        }
        if (callbacks.close(cab, &err, client) != 0) {
            callbacks.remove(path.c_str(), &err, client);
            fail(kErrorCabinetFile, err);
        }
        announcePlacedFiles();
        reportStatus(kStatusCabinetDone, uint32_t(total), uint32_t(total));
        dropTemp();
    }

    void writeCabinetFile(FileHandle cab, const std::pmr::vector<uint8_t>& directory) {
        int err = 0;
        if (callbacks.write(cab, directory.data(), uint32_t(directory.size()), &err, client) != directory.size())
            fail(kErrorCabinetFile, err);
        if (tempSize == 0) return;
        if (callbacks.seek(temp, 0, SEEK_SET, &err, client) != 0) fail(kErrorTemporaryFile, err);
        std::pmr::vector<uint8_t> chunk(std::min<uint64_t>(kCopyChunk, tempSize), 0, &memory);
        uint64_t copied = 0;
        while (copied < tempSize) {
            const uint32_t want = uint32_t(std::min<uint64_t>(chunk.size(), tempSize - copied));
            if (callbacks.read(temp, chunk.data(), want, &err, client) != want) fail(kErrorTemporaryFile, err);
            if (callbacks.write(cab, chunk.data(), want, &err, client) != want) fail(kErrorCabinetFile, err);
            copied += want;
            reportStatus(kStatusFolderCopy, uint32_t(copied), uint32_t(tempSize));
        }
    }

    // ---- operations ----
    void add(const char* sourcePath, const char* nameInCabinet, bool runAfterExtraction, FileInfoCallback fileInfo,
             CompressionType type) {
        if (!isKnownType(type)) fail(kErrorCompressionType, 0);
        const size_t nameLength = strnlen(nameInCabinet, kNameBufferSize);
        if (nameLength == 0 || nameLength >= kNameBufferSize) fail(kErrorCabinetFile, ENAMETOOLONG);
        if (setFinished) {
            // A new set after a finished one.
            CabinetParams next = askNextCabinet();
            params = next;
            cabinetIndex = 0;
            hasPrevious = false;
            setFinished = false;
        }

        FileRecord record{std::pmr::string(nameInCabinet, nameLength, &memory)};
        int err = 0;
        FileHandle source = fileInfo(sourcePath, &record.date, &record.time, &record.attributes, &err, client);
        if (source == -1) fail(kErrorOpenSource, err);
        try {
            const int64_t size = callbacks.seek(source, 0, SEEK_END, &err, client);
            if (size < 0 || callbacks.seek(source, 0, SEEK_SET, &err, client) != 0) fail(kErrorReadSource, err);
            if (uint64_t(size) > kMaxFolderBytes || blocksNeeded(uint64_t(size)) > kMaxBlocksPerFolder)
                fail(kErrorCabinetFile, EFBIG);  // more than one folder of the format can hold
            record.size = uint32_t(size);
            record.attributes &= uint16_t(~(kAttributeExecute | kAttributeNameIsUtf8));
            if (runAfterExtraction) record.attributes |= kAttributeExecute;
            if (hasNonAscii(record.name.c_str())) record.attributes |= kAttributeNameIsUtf8;

            if (folderOpen && (folderType != type || folderSplit ||
                               blocksNeeded(folderBytes + record.size) > kMaxBlocksPerFolder))
                closeFolder();
            makeRoomForEntry(record.entryBytes());
            if (!folderOpen) openFolder(type);
            record.folderOffset = uint32_t(folderBytes);
            folderEntryBytes += record.entryBytes();
            folderFiles.push_back(record);
            readSource(source, record.size);
        } catch (const CompressorError&) {
            callbacks.close(source, &err, client);
            throw;
        }
        if (callbacks.close(source, &err, client) != 0) fail(kErrorReadSource, err);
        if (folderBytes > params.folderThreshold) closeFolder();
    }

    static bool isKnownType(CompressionType type) {
        if (type == kCompressionNone || type == kCompressionMszip) return true;
        const unsigned bits = lzxWindowBits(type);
        return type == lzxCompression(bits) && bits >= kLzxMinWindowBits && bits <= kLzxMaxWindowBits;
    }

    bool entryFits(uint32_t entryBytes) const {
        return listedFileCount() + 1 <= kMaxFilesPerCabinet && fitsHere(entryBytes);
    }

    void makeRoomForEntry(uint32_t entryBytes) {
        if (entryFits(entryBytes)) return;
        // The file starts in the next cabinet; the open folder must not
        // continue there, or the file would be missing from this cabinet's list.
        closeFolder();
        if (entryFits(entryBytes)) return;
        CabinetParams next = askNextCabinet();
        completeCabinet(&next);
        beginCabinet(next);
        if (!entryFits(entryBytes)) fail(kErrorCabinetFile, EFBIG);
    }

    void flushCabinetNow(bool askForNext) {
        closeFolder();
        if (askForNext) {
            CabinetParams next = askNextCabinet();
            completeCabinet(&next);
            beginCabinet(next);
        } else {
            completeCabinet(nullptr);
            folders.clear();
            files.clear();
            filesEntryBytes = 0;
            setFinished = true;
        }
    }

    template <typename Work>
    bool guarded(Work&& work) {
        try {
            work();
            return true;
        } catch (const CompressorError&) {
            return false;
        } catch (const std::bad_alloc&) {
            error->code = kErrorAllocation;
            error->errorNumber = ENOMEM;
            error->present = 1;
            return false;
        }
    }
};

CabinetCompressor* createCompressor(CabinetError* error, const CabinetCallbacks& callbacks,
                                    const CabinetParams& params, void* client, const CompressionTuning& tuning) {
    *error = CabinetError{};
    auto failWith = [&](int32_t code, int number) -> CabinetCompressor* {
        error->code = code;
        error->errorNumber = number;
        error->present = 1;
        return nullptr;
    };
    if (!callbacks.allocate || !callbacks.release || !callbacks.open || !callbacks.read || !callbacks.write ||
        !callbacks.close || !callbacks.seek || !callbacks.remove || !callbacks.temporaryFileName)
        return failWith(kErrorAllocation, EINVAL);
    if (params.headerReserve > kMaxHeaderReserve || params.folderReserve > kMaxFolderOrDataReserve ||
        params.dataReserve > kMaxFolderOrDataReserve || params.maxCabinetSize > kLargestCabinet ||
        tuning.level < 0 || tuning.level > 9)
        return failWith(kErrorCabinetFile, EINVAL);

    void* place = callbacks.allocate(sizeof(CabinetCompressor), client);
    if (!place) return failWith(kErrorAllocation, ENOMEM);
    auto* c = new (place) CabinetCompressor(error, callbacks, params, client, tuning);
    CabinetCompressor::terminateNames(c->params);
    const bool ok = c->guarded([&] {
        void* w = c->memory.allocate(sizeof(DeflateWorkers), alignof(DeflateWorkers));
        c->workers = new (w) DeflateWorkers(&c->memory);
        if (!c->workers->start(tuning.level, tuning.threads)) c->fail(kErrorCompression, 0);
    });
    if (!ok) {
        const CabinetError saved = *error;
        destroyCompressor(c);
        *error = saved;
        return nullptr;
    }
    return c;
}

bool addFile(CabinetCompressor* c, const char* sourcePath, const char* nameInCabinet, bool runAfterExtraction,
             NextCabinetCallback nextCabinet, StatusCallback status, FileInfoCallback fileInfo, CompressionType type) {
    if (!c) return false;
    c->nextCabinet = nextCabinet;
    c->status = status;
    return c->guarded([&] { c->add(sourcePath, nameInCabinet, runAfterExtraction, fileInfo, type); });
}

bool flushFolder(CabinetCompressor* c, NextCabinetCallback nextCabinet, StatusCallback status) {
    if (!c) return false;
    c->nextCabinet = nextCabinet;
    c->status = status;
    return c->guarded([&] { c->closeFolder(); });
}

bool flushCabinet(CabinetCompressor* c, bool askForNextCabinet, NextCabinetCallback nextCabinet,
                  StatusCallback status) {
    if (!c) return false;
    c->nextCabinet = nextCabinet;
    c->status = status;
    return c->guarded([&] { c->flushCabinetNow(askForNextCabinet); });
}

bool destroyCompressor(CabinetCompressor* c) {
    if (!c) return false;
    c->dropTemp();
    c->dropLzx();
    if (c->workers) {
        c->workers->~DeflateWorkers();
        c->memory.deallocate(c->workers, sizeof(DeflateWorkers), alignof(DeflateWorkers));
        c->workers = nullptr;
    }
    const CabinetCallbacks callbacks = c->callbacks;
    void* client = c->client;
    c->~CabinetCompressor();
    callbacks.release(c, client);
    return true;
}

}  // namespace pcn::cabinet
