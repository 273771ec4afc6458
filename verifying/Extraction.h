#pragma once
// Writing the files of a cabinet set into a folder, as a Windows extractor
// would, but refusing the names a build refuses: one unsafe name and nothing
// is written.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pcn::verifying {

class CabinetSet;

struct ExtractionReport {
    std::vector<std::string> written;   // paths of the files written
    std::vector<std::string> failures;  // "NAME: why", one per file that could not be written
    std::vector<std::string> unsafe;    // "NAME (why)": names refused before anything was written
    bool cancelled = false;
    bool ok() const { return failures.empty() && unsafe.empty() && !cancelled; }
};

// Called with the bytes done, the bytes in all and the name being written;
// returning false cancels (the file being written is not left behind).
using ExtractionProgress = std::function<bool(uint64_t done, uint64_t total, const std::string& name)>;

// The names of the set that a Windows extractor cannot write safely, each
// as "NAME (why)".
std::vector<std::string> unsafeEntryNames(const CabinetSet& set);

// The path below folder that a stored name ('\' between folders) goes to.
std::string extractionPath(const std::string& folder, const std::string& storedName);

// Extracts every file of the set below folder (created when missing). Each
// file is written whole to a temporary file beside its place and renamed
// over it, with the cabinet's date and read-only attribute.
ExtractionReport extractAll(CabinetSet& set, const std::string& folder, const ExtractionProgress& progress);

}  // namespace pcn::verifying
