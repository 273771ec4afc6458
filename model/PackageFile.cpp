#include "model/PackageFile.h"

#include <cerrno>

#include "model/Archive.h"
#include "model/RecordFile.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

constexpr std::string_view kPackageExtension = ".pcp";

}  // namespace

std::string StorePackage(const CCabObj& package) {
    CArchive ar;
    // Storing only reads the members; Serialize serves both directions.
    const_cast<CCabObj&>(package).Serialize(ar);
    return ar.takeBuffer();
}

std::unique_ptr<CCabObj> ParsePackage(std::string_view bytes) {
    auto package = std::make_unique<CCabObj>();
    CArchive ar(bytes);
    package->Serialize(ar);
    return package;
}

PackageLoadResult LoadPackageFile(const std::string& path) {
    PackageLoadResult result;
    if (path.empty()) {
        result.error = PackageLoadError::EmptyPath;
        return result;
    }
    std::string bytes;
    if (!readRecordFile(path, bytes, result.systemError, kMaxPackageFileSize)) {
        result.error = PackageLoadError::CannotOpen;
        return result;
    }
    try {
        result.package = ParsePackage(bytes);
    } catch (const ArchiveException& e) {
        result.error = PackageLoadError::Damaged;
        result.detail = e.what();
        return result;
    }
    result.package->m_strPackageFile = path;
    return result;
}

std::unique_ptr<CCabObj> LoadPackage(const std::string& path) { return LoadPackageFile(path).package; }

bool SavePackage(const CCabObj& package, int* systemError, bool mustBeNew) {
    if (package.m_strPackageFile.empty()) {
        if (systemError) *systemError = ENOENT;
        return false;
    }
    const std::string bytes = StorePackage(package);
    WriteResult written = mustBeNew ? createFileAtomically(package.m_strPackageFile, bytes, kOwnerOnly)
                                    : writeFileAtomically(package.m_strPackageFile, bytes, kOwnerOnly);
    if (systemError) *systemError = written.error;
    return written.ok;
}

namespace {

// stem + n + ".pcp" for the first n from firstNumber on whose file does not exist.
std::string firstFreeNumberedName(const std::string& stem, int firstNumber) {
    std::string candidate;
    for (int n = firstNumber;; ++n) {
        candidate = stem + std::to_string(n) + std::string(kPackageExtension);
        if (!fileExists(candidate)) return candidate;
    }
}

}  // namespace

std::string NewPackageFileName(const std::string& folder, std::string_view product) {
    const std::string stem = folder + std::string(product);
    std::string candidate = stem + std::string(kPackageExtension);
    return fileExists(candidate) ? firstFreeNumberedName(stem, 1) : candidate;
}

std::string NumberedPackageFileName(std::string_view product) {
    return firstFreeNumberedName(dataFolder() + std::string(product), 1);
}

std::string NewPackageFileName(std::string_view product) { return NewPackageFileName(dataFolder(), product); }

std::string DefaultPackageFileName(std::string_view product) {
    return dataFolder() + std::string(product) + std::string(kPackageExtension);
}

}  // namespace pcn
