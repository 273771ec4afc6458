#pragma once
// The cabinet writer: puts a build's list of files into the package's
// cabinet, or numbered set of cabinets, in the target folder, through the
// cabinet compressor, and records the cabinets it wrote in the package's
// list of output files. Runs on the build worker.

#include <cstdint>
#include <string>

#include "building/BuildHost.h"
#include "cabinet/CabinetCompressor.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"

namespace pcn {

class SettingsStore;

// The largest single cabinet a package writes when it does not span.
inline constexpr uint32_t kSingleCabinetLimit = 90000000;
inline constexpr uint32_t kCabinetFolderThreshold = 90000000;
inline constexpr uint16_t kCabinetSetId = 44444;
inline constexpr uint32_t kSignatureReserve = 6144;

struct CabinetWriteJob {
    CCabObj& package;
    BuildHost& host;
    UserInterface& ui;           // messages are owned by the build host
    uint32_t cabinetSizeLimit;   // the build's limit, see buildCabinetSizeLimit
    cabinet::CompressionType compression;
    cabinet::CompressionTuning tuning;
    // Where the stub that sizes a spanning self-extractor's first cabinet is
    // chosen: the same store the join reads (null: the user's settings).
    const SettingsStore* settings = nullptr;
    // Set on failure, like the thread's last error of a Windows build: the
    // compressor's error code after an add-file failure, else the errno of
    // the failing step (0 when there is none, as after a cancel).
    int lastError = 0;
};

// None when "Use Compression" is off, else the package's method: MSZIP, or
// LZX with its window.
cabinet::CompressionType compressionTypeOf(const CCabObj& package);
// The program-wide level of that method (Settings\Compression).
cabinet::CompressionTuning compressionTuningOf(const CCabObj& package, const SettingsStore& settings);

// The build's cabinet size limit: CabSize when the package spans, else the
// single-cabinet limit (always for the Self Extracting Wizard kind).
uint32_t buildCabinetSizeLimit(const CCabObj& package);

// Cabinet name for cabinet `number` (1, 2, ...). Spanning packages of the
// Cabinet and Self Extracting Cabinet kinds: "%s%d.CAB". Others: "%s.CAB" for
// the first; should their data ever need a second cabinet, those continue as
// "%s2.CAB", "%s3.CAB", ... so that none overwrites another.
std::string cabinetFileName(const CCabObj& package, int number);

// The name a source file gets inside the cabinet ('\' between folders).
std::string nameInCabinet(const CCabObj& package, const std::string& sourcePath);

// The text of a compressor error code (0 to 8, else "Unknown error").
inline const char* cabinetErrorName(int code) { return cabinet::cabinetErrorText(code); }

// Writes the package's m_arrBuildFiles into cabinets in m_strBuildFolder.
// Precondition: the build files are full paths, the output list is empty and
// the folder exists. The set is written beside its final names and renamed
// into place only when every cabinet is complete; cabinets of an earlier set
// under the package's name that the new set does not have are then removed.
// Returns false on failure (reported through job.ui, except a cancel) or
// cancel: the folder then holds what it held before and nothing is listed.
bool writeCabinets(CabinetWriteJob& job);

}  // namespace pcn
