#pragma once
// Copying package definition files, or the project file with all its
// package files, into another folder. Questions (create the folder, replace
// a file) go through UserInterface, progress and cancellation through
// ExportProgress; every copy is written to a temporary file and renamed.

#include <cstddef>
#include <string>
#include <vector>

namespace pcn {

class CCabObj;
class CPCNDoc;
class UserInterface;

class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // About to copy file `index` (from 0) of `count`.
    virtual void copying(size_t index, size_t count, const std::string& source) = 0;
    // The user asked to stop; no further file is copied.
    virtual bool cancelled() = 0;
    // Every file has been dealt with (or the export stopped).
    virtual void finished() {}
};

struct ExportResult {
    int copied = 0;
    int skipped = 0;     // not replaced, or the source is the target itself
    bool cancelled = false;
    std::vector<std::string> failed;  // sources that could not be copied (the user was told)
};

// The project file as last opened or saved, then every package file path of
// the project, in order. A new, never saved project contributes no project file.
std::vector<std::string> ProjectExportSources(const CPCNDoc& doc);
// The package files of the given packages, in the given order.
std::vector<std::string> PackageExportSources(const std::vector<const CCabObj*>& packages);

// Copies each source into the destination folder under its own file name.
// A missing folder is created after asking; an existing file is replaced
// only when the user says so (Cancel there stops the export).
ExportResult ExportFiles(const std::vector<std::string>& sources, const std::string& destinationFolder,
                         UserInterface& ui, ExportProgress* progress = nullptr);

}  // namespace pcn
