#include "listers/common/ModuleTable.h"

#include <cstring>

namespace pcn::listers {

void ModuleTable::clear() {
    std::memset(names_, 0, sizeof names_);
    count_ = 0;
    dropped_ = 0;
}

bool ModuleTable::add(std::string_view name) {
    if (count_ >= kSlots || name.size() >= static_cast<size_t>(kSlotSize)) {
        ++dropped_;
        return false;
    }
    std::memcpy(names_[count_], name.data(), name.size());
    names_[count_][name.size()] = '\0';
    ++count_;
    return true;
}

int ModuleTable::copyName(int index, char* buffer, int size) const {
    if (index < 0 || index >= kSlots || !buffer) return 0;
    size_t length = std::strlen(names_[index]);
    if (size < 0 || static_cast<size_t>(size) < length + 1) return 0;
    std::memcpy(buffer, names_[index], length + 1);
    return 1;
}

}  // namespace pcn::listers
