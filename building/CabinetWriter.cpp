#include "building/CabinetWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "app/core/ProgressSink.h"
#include "building/BuildSupport.h"
#include "building/SelfExtractor.h"
#include "building/StagedCabinetSet.h"
#include "cabinet/PosixCabinetIo.h"
#include "model/CompressionChoice.h"
#include "distribution/ErrorReport.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace pcn {

namespace {

using namespace cabinet;

int packageKind(const CCabObj& p) { return CCabObj::KindFromFlags(p.m_bCab, p.m_bCabSelf, p.m_bCabWiz); }

bool spans(const CCabObj& p) {
    const int kind = packageKind(p);
    return !p.m_bCapSingle && (kind == kKindCabinet || kind == kKindSelfExtractingCabinet);
}

// What every callback of the writer sees.
struct CabinetProgress {
    uint64_t compressedTotal = 0;
    uint64_t uncompressedTotal = 0;
    CabinetWriteJob* job = nullptr;
    std::vector<std::string>* written = nullptr;  // the set's cabinet names, in order
};

bool nextCabinet(CabinetParams* next, uint32_t, void* client) {
    auto* progress = static_cast<CabinetProgress*>(client);
    const std::string name = cabinetFileName(progress->job->package, next->cabinetNumber);
    if (name.size() >= sizeof next->cabinetName) return false;
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "%s", name.c_str());
    progress->written->push_back(name);
    return true;
}

// A cancel also stops the file being compressed: a large file would
// otherwise keep the user (and a host window waiting to close) for minutes.
long status(int kind, uint32_t compressed, uint32_t uncompressed, void* client) {
    auto* progress = static_cast<CabinetProgress*>(client);
    if (progress->job->host.abortRequested.load()) return -1;
    if (kind != kStatusBlock) return 0;
    progress->compressedTotal += compressed;
    progress->uncompressedTotal += uncompressed;
    BuildProgress shown;
    shown.processedBytes = progress->uncompressedTotal;
    shown.compressedBytes = progress->compressedTotal;
    shown.percent = progressPercent(uint32_t(progress->uncompressedTotal),
                                    uint32_t(progress->job->package.m_nSourceSize));
    progress->job->host.showProgress(shown);
    return 0;
}

std::string format(const char* pattern, int code, const std::string& text) {
    const int n = std::snprintf(nullptr, 0, pattern, code, cabinetErrorName(code), text.c_str());
    std::string out(size_t(std::max(n, 0)) + 1, '\0');
    std::snprintf(out.data(), out.size(), pattern, code, cabinetErrorName(code), text.c_str());
    out.resize(size_t(std::max(n, 0)));
    return out;
}

// The error details dialog with the last error as main text; when there is
// none the message itself is shown, so that no failure goes unexplained.
// The size of the stub the first cabinet will be joined to; 0 when missing.
uint64_t stubSize(const CabinetWriteJob& job) {
    struct stat info{};
    const std::string path = StubPath(job.package, job.settings ? *job.settings : SettingsStore::user());
    return ::stat(path.c_str(), &info) == 0 ? uint64_t(info.st_size) : 0;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) { return a.size() == b.size() && upper(a) == upper(b); }

std::string withBackslashes(std::string s) {
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

// The path less the leading characters it shares with the source folder
// (compared in upper case); the file name alone when it shares none.
std::string relativeName(const CCabObj& p, const std::string& path) {
    const std::string folder = upper(withTrailingSeparator(p.m_strSourceFolder));
    const std::string file = upper(path);
    size_t agreed = 0;
    while (agreed < folder.size() && agreed < file.size() && folder[agreed] == file[agreed]) ++agreed;
    if (agreed == 0) return fileNamePart(path);
    return withBackslashes(path.substr(agreed));
}

// A cabinet of the package's earlier sets: an MSCF file carrying the set
// identifier every package cabinet has.
bool isPackageCabinet(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[36] = {};
    if (!in.read(header, sizeof header)) return false;
    const auto setId = uint16_t(uint8_t(header[32]) | uint8_t(header[33]) << 8);
    return std::string_view(header, 4) == "MSCF" && setId == kCabinetSetId;
}

// Cabinets of an earlier set under this package's name that the new set
// no longer has.
void removeStaleCabinets(const CCabObj& package, const std::string& target, const std::vector<std::string>& kept) {
    auto removeIfStale = [&](const std::string& name) {
        if (std::find(kept.begin(), kept.end(), name) != kept.end()) return;
        const std::string path = target + name;
        if (isPackageCabinet(path)) ::unlink(path.c_str());
    };
    removeIfStale(package.m_strProjectName + ".CAB");
    // Earlier sets are numbered without gaps from 1.
    for (size_t number = 1;; ++number) {
        const std::string name = package.m_strProjectName + std::to_string(number) + ".CAB";
        struct stat info {};
        if (number > kept.size() && ::stat((target + name).c_str(), &info) != 0) break;
        removeIfStale(name);
    }
}

CabinetParams paramsFor(const CabinetWriteJob& job, const std::string& stagingFolder) {
    const CCabObj& p = job.package;
    CabinetParams params;
    uint64_t limit = job.cabinetSizeLimit;
    if (packageKind(p) == kKindSelfExtractingCabinet && spans(p)) {
        // The stub and the first cabinet together fit the size.
        const uint64_t stub = stubSize(job);
        limit = limit > stub ? limit - stub : 1;
    }
    params.maxCabinetSize = uint32_t(std::min<uint64_t>(limit, kLargestCabinet));
    params.folderThreshold = kCabinetFolderThreshold;
    params.headerReserve = p.m_bSignature ? kSignatureReserve : 0;
    params.cabinetNumber = 1;
    params.diskNumber = 0;
    params.failOnIncompressible = 0;
    params.setId = kCabinetSetId;
    std::snprintf(params.cabinetName, sizeof params.cabinetName, "%s", cabinetFileName(p, 1).c_str());
    std::snprintf(params.cabinetPath, sizeof params.cabinetPath, "%s", stagingFolder.c_str());
    return params;
}

}  // namespace

uint32_t buildCabinetSizeLimit(const CCabObj& package) {
    if (!spans(package)) return kSingleCabinetLimit;
    return package.m_nCabSize > 0 ? uint32_t(package.m_nCabSize) : 0;
}

std::string cabinetFileName(const CCabObj& package, int number) {
    if (spans(package) || number > 1) return package.m_strProjectName + std::to_string(number) + ".CAB";
    return package.m_strProjectName + ".CAB";
}

std::string nameInCabinet(const CCabObj& p, const std::string& path) {
    if (!p.m_bRestoreDirs) return fileNamePart(path);
    if (packageKind(p) == kKindSelfExtractingWizard && p.m_bMiniSetup) {
        if (path.find("pcn.cfg") != std::string::npos || path.find("TinySetup.Exe") != std::string::npos ||
            equalsIgnoringCase(path, p.m_strLicenseFile))
            return fileNamePart(path);
        return relativeName(p, path);
    }
    if (path.find("pcn.cfg") != std::string::npos) return fileNamePart(path);
    return relativeName(p, path);
}

cabinet::CompressionType compressionTypeOf(const CCabObj& package) {
    if (!package.m_bCompression) return kCompressionNone;
    const CompressionMethod method = compressionMethodOf(package);
    return method.lzx ? lzxCompression(method.windowBits) : kCompressionMszip;
}

cabinet::CompressionTuning compressionTuningOf(const CCabObj& package, const SettingsStore& settings) {
    const CompressionLevels levels = readCompressionLevels(settings);
    cabinet::CompressionTuning tuning;
    tuning.level = compressionMethodOf(package).lzx ? levels.lzx : levels.mszip;
    return tuning;
}

bool writeCabinets(CabinetWriteJob& job) {
    CCabObj& p = job.package;
    StagedCabinetSet staged(p.m_strBuildFolder);
    if (staged.folder().empty() || staged.folder().size() >= kNameBufferSize) {
        job.lastError = staged.folder().empty() ? staged.error() : ENAMETOOLONG;
        ReportBuildError(job.ui, "Could not create cabinet file(FCIERR_CAB_FILE)\r\n\r\n" + p.m_strBuildFolder,
                         job.lastError);
        return false;
    }
    const CabinetParams params = paramsFor(job, staged.folder());
    std::vector<std::string> written{params.cabinetName};

    CabinetProgress progress;
    progress.job = &job;
    progress.written = &written;
    CabinetError error;
    CabinetCompressor* compressor = createCompressor(&error, posixCallbacks(), params, &progress, job.tuning);
    if (!compressor) {
        job.lastError = error.errorNumber;
        ReportBuildError(job.ui, format("Cabinet create failed: code %d [%s]\n", error.code, ""), job.lastError);
        return false;
    }

    for (const std::string& path : p.m_arrBuildFiles) {
        if (job.host.abortRequested.load()) {
            destroyCompressor(compressor);
            return false;
        }
        const std::string stored = nameInCabinet(p, path);
        job.host.showStep("Adding: " + stored);
        job.host.showCurrentFile(path);
        if (job.host.abortRequested.load()) {
            destroyCompressor(compressor);
            return false;
        }
        if (!addFile(compressor, path.c_str(), stored.c_str(), false, nextCabinet, status, posixFileInfo,
                     job.compression)) {
            if (job.host.abortRequested.load()) {
                destroyCompressor(compressor);
                return false;
            }
            ReportBuildError(job.ui, format("Cabinet add file failed: code %d [%s]\r\n\r\n%s", error.code, path),
                          error.errorNumber);
            job.lastError = error.code;
            destroyCompressor(compressor);
            return false;
        }
    }

    if (!flushCabinet(compressor, false, nextCabinet, status)) {
        if (job.host.abortRequested.load()) {
            destroyCompressor(compressor);
            return false;
        }
        job.lastError = error.errorNumber;
        const std::string message = format("Cabinet Flush failed: code %d [%s]\r\n\r\nGetLastError [", error.code, "") +
                                    std::to_string(job.lastError) + "]";
        ReportBuildError(job.ui, message, job.lastError);
        destroyCompressor(compressor);
        return false;
    }
    if (!destroyCompressor(compressor)) {
        ReportBuildError(job.ui, format("Cabinet destroy failed: code %d [%s]\r\n", error.code, ""), error.errorNumber);
        return false;
    }
    if (!staged.commit(written)) {
        job.lastError = staged.error();
        ReportBuildError(job.ui, "Unable to move the cabinets into place:\r\n" + p.m_strBuildFolder, job.lastError);
        return false;
    }
    removeStaleCabinets(p, withTrailingSeparator(p.m_strBuildFolder), written);
    p.m_arrOutputFiles.insert(p.m_arrOutputFiles.end(), written.begin(), written.end());
    job.host.showStep("Complete");
    return true;
}

}  // namespace pcn
