#pragma once
// The cabinets of a set are written into a private folder beside their final
// names and moved into place only once every one of them is complete: a
// cancelled or failed write removes that folder and leaves whatever lay at
// those names (the set of the last build) exactly as it was.

#include <string>
#include <vector>

namespace pcn {

class StagedCabinetSet {
public:
    explicit StagedCabinetSet(const std::string& targetFolder);
    ~StagedCabinetSet();
    StagedCabinetSet(const StagedCabinetSet&) = delete;
    StagedCabinetSet& operator=(const StagedCabinetSet&) = delete;

    // Where the compressor writes, with a trailing separator; empty when it
    // could not be made (error()).
    const std::string& folder() const { return folder_; }
    int error() const { return error_; }

    // Renames every cabinet into the target folder. False with error() set
    // when a rename fails.
    bool commit(const std::vector<std::string>& names);

private:
    std::string target_;
    std::string folder_;
    int error_ = 0;
};

}  // namespace pcn
