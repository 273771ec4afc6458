#pragma once
// Package files (.pcp): one CCabObj record each, nothing else.

#include <memory>
#include <string>
#include <string_view>

#include "model/CCabObj.h"
#include "model/RecordFile.h"

namespace pcn {

enum class PackageLoadError {
    None,
    EmptyPath,
    CannotOpen,  // missing, unreadable, a folder
    Damaged,     // opens, but does not hold a whole record
};

struct PackageLoadResult {
    std::unique_ptr<CCabObj> package;  // null unless error == None
    PackageLoadError error = PackageLoadError::None;
    int systemError = 0;               // errno when the file could not be read
    std::string detail;                // what was wrong inside a damaged file
};

// The package file's bytes for a record.
std::string StorePackage(const CCabObj& package);
// A record from package file bytes; throws ArchiveException when they do not
// hold a whole record. Bytes after the record are ignored.
std::unique_ptr<CCabObj> ParsePackage(std::string_view bytes);

// Loads the package file at path; m_strPackageFile becomes that path,
// whatever path the file stores.
PackageLoadResult LoadPackageFile(const std::string& path);
// The record, or null when the file cannot be read or is damaged.
std::unique_ptr<CCabObj> LoadPackage(const std::string& path);

// Writes the record to its m_strPackageFile, whole and atomically, readable
// by the owner only (it may hold a password). False when the path is empty
// or the file cannot be written (errno in *systemError). mustBeNew: an
// existing file is left alone and the save fails with EEXIST.
bool SavePackage(const CCabObj& package, int* systemError = nullptr, bool mustBeNew = false);

// The first free package file name in folder for a product name: folder +
// product + ".pcp", else folder + product + n + ".pcp" for n = 1, 2, ...
std::string NewPackageFileName(const std::string& folder, std::string_view product);
// The same in the data folder, where new package files go.
std::string NewPackageFileName(std::string_view product);
// The name a pasted copy moves to when its own file exists: the first free
// folder + product + n + ".pcp" for n = 1, 2, ... in the data folder.
std::string NumberedPackageFileName(std::string_view product);
// folder + product + ".pcp", without looking at the disk.
std::string DefaultPackageFileName(std::string_view product);

// Package files larger than this are not read (no real one comes near).
inline constexpr size_t kMaxPackageFileSize = kMaxRecordFileSize;

}  // namespace pcn
