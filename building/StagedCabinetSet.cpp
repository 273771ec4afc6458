#include "building/StagedCabinetSet.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <stdlib.h>

#include "platform/Paths.h"

namespace pcn {

StagedCabinetSet::StagedCabinetSet(const std::string& targetFolder) : target_(withTrailingSeparator(targetFolder)) {
    std::string pattern = target_ + ".pcn-cabinets-XXXXXX";
    if (::mkdtemp(pattern.data()))
        folder_ = withTrailingSeparator(pattern);
    else
        error_ = errno;
}

StagedCabinetSet::~StagedCabinetSet() {
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool StagedCabinetSet::commit(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (std::rename((folder_ + name).c_str(), (target_ + name).c_str()) != 0) {
            error_ = errno;
            return false;
        }
    }
    return true;
}

}  // namespace pcn
