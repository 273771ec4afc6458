#pragma once
// The cabinet compressor: writes files into Microsoft Cabinet files (MSCF 1.3),
// one cabinet or a numbered set that continue one another.
//
// It does no file, memory or temporary-file work of its own: every such step
// goes through the client's callbacks, each of which also receives the client
// context given at creation. All callbacks are called on the thread that calls
// the compressor; the worker threads that compress MSZIP blocks only run the
// deflate engine on buffers allocated beforehand.
//
// Every operation returns false on failure with the error record filled; the
// client then destroys the context.

#include <cstddef>
#include <cstdint>

namespace pcn::cabinet {

// The format's limits.
inline constexpr uint32_t kBlockSize = 32768;                  // uncompressed bytes per data block
inline constexpr uint32_t kMaxFilesPerCabinet = 65535;
inline constexpr uint32_t kMaxBlocksPerFolder = 65535;
inline constexpr uint64_t kMaxFolderBytes = uint64_t(kMaxBlocksPerFolder) * kBlockSize;  // 0x7FFF8000
inline constexpr uint32_t kLargestCabinet = 0x7FFFFFFF;
// A maximum cabinet size of 0 stands for this (seven F digits).
inline constexpr uint32_t kDefaultMaxCabinetSize = 0x7FFFFFF;
inline constexpr uint32_t kMaxHeaderReserve = 60000;
inline constexpr uint32_t kMaxFolderOrDataReserve = 255;
inline constexpr size_t kNameBufferSize = 256;

struct CabinetParams {
    uint32_t maxCabinetSize = 0;       // 0: kDefaultMaxCabinetSize
    uint32_t folderThreshold = 0;      // a folder is closed once its data exceeds this
    uint32_t headerReserve = 0;        // zero-filled area in every cabinet header (up to 60,000)
    uint32_t folderReserve = 0;        // per folder entry (up to 255)
    uint32_t dataReserve = 0;          // per data block (up to 255)
    int32_t cabinetNumber = 1;         // number of this cabinet, advanced for each next one
    int32_t diskNumber = 0;
    int32_t failOnIncompressible = 0;
    uint16_t setId = 0;
    char diskName[kNameBufferSize] = {};
    char cabinetName[kNameBufferSize] = {};
    char cabinetPath[kNameBufferSize] = {};  // ends with a separator; the cabinet file is path + name
};

enum CabinetErrorCode : int32_t {
    kErrorNone = 0,
    kErrorOpenSource = 1,
    kErrorReadSource = 2,
    kErrorAllocation = 3,
    kErrorTemporaryFile = 4,
    kErrorCompressionType = 5,
    kErrorCabinetFile = 6,
    kErrorUserAbort = 7,
    kErrorCompression = 8,
};

struct CabinetError {
    int32_t code = 0;         // CabinetErrorCode
    int32_t errorNumber = 0;  // errno reported by the failing callback, or set by the compressor
    int32_t present = 0;      // 1 once an error was recorded
};

// Compression type in the format's own encoding: low 4 bits the method,
// bits 8 to 12 the LZX window.
using CompressionType = uint16_t;
inline constexpr CompressionType kCompressionNone = 0x0000;
inline constexpr CompressionType kCompressionMszip = 0x0001;
inline constexpr CompressionType kCompressionLzx = 0x0003;
constexpr CompressionType lzxCompression(unsigned windowBits) {
    return CompressionType(kCompressionLzx | ((windowBits & 0x1F) << 8));
}

using FileHandle = intptr_t;  // -1: no file

struct CabinetCallbacks {
    // Called when a file has been placed in a cabinet (name in the cabinet, its
    // size, whether it continues from an earlier cabinet); 0 to go on, -1 aborts.
    int (*filePlaced)(const CabinetParams* cabinet, const char* name, uint32_t size, bool continuation,
                      void* client) = nullptr;
    void* (*allocate)(size_t bytes, void* client) = nullptr;  // nullptr on failure
    void (*release)(void* memory, void* client) = nullptr;
    // open(2)-style flags and mode; returns a handle or -1 with *error set.
    FileHandle (*open)(const char* path, int flags, int mode, int* error, void* client) = nullptr;
    // Return the count done; a short count with *error set is a failure.
    uint32_t (*read)(FileHandle file, void* buffer, uint32_t count, int* error, void* client) = nullptr;
    uint32_t (*write)(FileHandle file, const void* buffer, uint32_t count, int* error, void* client) = nullptr;
    int (*close)(FileHandle file, int* error, void* client) = nullptr;                // 0 on success
    int64_t (*seek)(FileHandle file, int64_t offset, int whence, int* error, void* client) = nullptr;  // new position or -1
    int (*remove)(const char* path, int* error, void* client) = nullptr;             // 0 on success
    // Fills the buffer with the name of a file that does not exist yet.
    bool (*temporaryFileName)(char* buffer, int bufferSize, void* client) = nullptr;
};

// Asked for the parameters of the next cabinet; the cabinet number is already
// advanced. Fills in the name (and may change other fields); false aborts.
using NextCabinetCallback = bool (*)(CabinetParams* next, uint32_t previousCabinetSize, void* client);

enum StatusKind : int {
    kStatusBlock = 0,        // a data block was compressed (compressed size, uncompressed size)
    kStatusFolderCopy = 1,   // copying folder data into the cabinet (bytes so far, total)
    kStatusCabinetDone = 2,  // a cabinet is complete (estimated size, actual size)
};
// Returns -1 to abort (error 7); anything else goes on.
using StatusCallback = long (*)(int kind, uint32_t value1, uint32_t value2, void* client);

// Opens the source file read-only and returns its handle (or -1 with *error
// set), and gives its DOS date, DOS time and attributes.
using FileInfoCallback = FileHandle (*)(const char* path, uint16_t* dosDate, uint16_t* dosTime,
                                        uint16_t* attributes, int* error, void* client);

struct CabinetCompressor;

// MSZIP levels offered to the user; chosen by measurement (bench/): level 5
// with the carried history stores mixed programs and text in about 0.95 of
// what a history-less level 6 needs, at several times its speed.
inline constexpr int kFastLevel = 3;
inline constexpr int kDefaultLevel = 5;
inline constexpr int kSmallLevel = 9;

// Deflate settings for MSZIP folders. Level 1..9 as zlib counts them; threads 0
// means one per processor.
struct CompressionTuning {
    int level = kDefaultLevel;
    unsigned threads = 0;
};

CabinetCompressor* createCompressor(CabinetError* error, const CabinetCallbacks& callbacks,
                                    const CabinetParams& params, void* client,
                                    const CompressionTuning& tuning = {});

bool addFile(CabinetCompressor* compressor, const char* sourcePath, const char* nameInCabinet,
             bool runAfterExtraction, NextCabinetCallback nextCabinet, StatusCallback status,
             FileInfoCallback fileInfo, CompressionType type);

bool flushFolder(CabinetCompressor* compressor, NextCabinetCallback nextCabinet, StatusCallback status);

bool flushCabinet(CabinetCompressor* compressor, bool askForNextCabinet, NextCabinetCallback nextCabinet,
                  StatusCallback status);

// Removes the temporary files and frees all memory through the callbacks.
bool destroyCompressor(CabinetCompressor* compressor);

// The name of an error code, as shown to the user ("Unknown error" for codes
// outside 0..8).
const char* cabinetErrorText(int32_t code);

// The format's data-block checksum over bytes, seeded with seed.
uint32_t cabinetChecksum(const uint8_t* bytes, size_t count, uint32_t seed);

}  // namespace pcn::cabinet
