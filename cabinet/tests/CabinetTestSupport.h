#pragma once
// Helpers for the cabinet tests: scratch folders, source files, running the
// compressor over POSIX callbacks and the independent readers (cabextract,
// gcab) on the result.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cabinet/CabinetCompressor.h"

namespace pcn::cabinet::test {

namespace fs = std::filesystem;

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

void writeBytes(const fs::path& file, const std::string& bytes);
std::string readBytes(const fs::path& file);
// Deterministic data: text-like (compressible) or noise (incompressible).
std::string textData(size_t size, unsigned seed);
std::string noiseData(size_t size, unsigned seed);

struct SourceFile {
    std::string nameInCabinet;  // with '\' between folders
    std::string bytes;
    int type = -1;  // the file's compression type; -1: the one given to writeCabinets
};

struct WriteResult {
    bool ok = false;
    CabinetError error;
    std::vector<std::string> cabinets;  // file names in order
};

// Writes the files into cabinets in `folder` named prefix1.cab, prefix2.cab, ...
// (or exactly `firstName` for the first).
WriteResult writeCabinets(const fs::path& folder, const std::vector<SourceFile>& files, CabinetParams params,
                          CompressionType type, const std::string& firstName = "set1.cab",
                          const CompressionTuning& tuning = {});

struct CommandResult {
    int exitCode = -1;
    std::string output;
};
CommandResult run(const std::string& command);
std::string quoted(const fs::path& p);

// Every regular file under `folder` (relative name with '/') and its bytes.
std::map<std::string, std::string> filesUnder(const fs::path& folder);
// The expected extraction of `files`: '\' becomes '/'.
std::map<std::string, std::string> expectedTree(const std::vector<SourceFile>& files);

// The directory of a cabinet (header, folder and file entries), read with
// the format's layout; enough for the tests to check fields by name.
struct ParsedCabinet {
    uint32_t size = 0;
    uint16_t flags = 0, setId = 0, index = 0;
    uint16_t headerReserve = 0;
    std::string previousCabinet, previousDisk, nextCabinet, nextDisk;
    struct Folder {
        uint32_t dataOffset = 0;
        uint16_t blocks = 0, type = 0;
    };
    struct File {
        uint32_t size = 0, folderOffset = 0;
        uint16_t folder = 0, date = 0, time = 0, attributes = 0;
        std::string name;
    };
    std::vector<Folder> folders;
    std::vector<File> files;
};
ParsedCabinet parseCabinet(const std::string& bytes);

// Checks with cabextract -t, then extracts with cabextract (every cabinet of
// a set through the first) or gcab -x into folder/cabextract or folder/gcab
// and compares the files with `expected`; failures are test failures.
void expectCabextractTree(const fs::path& folder, const std::string& firstCabinet,
                          const std::map<std::string, std::string>& expected);
void expectGcabTree(const fs::path& folder, const std::string& cabinet,
                    const std::map<std::string, std::string>& expected);

}  // namespace pcn::cabinet::test
