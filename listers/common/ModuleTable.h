#pragma once
// The lister's module name table: up to 100 names of at most 259 bytes in
// 260-byte slots, filled by ProcessInit and read through GetProcessCount and
// GetProcessByIndex.

#include <string_view>

namespace pcn::listers {

class ModuleTable {
public:
    static constexpr int kSlots = 100;
    static constexpr int kSlotSize = 260;

    void clear();
    // Records the name in the next slot; false when the table is full or the
    // name does not fit a slot.
    bool add(std::string_view name);
    int count() const { return count_; }
    // Names that add() could not record since the last clear(): the table
    // was full or the name too long. Read through GetProcessDropped, so that
    // a cut list is reported rather than taken as whole.
    int dropped() const { return dropped_; }
    // GetProcessByIndex: copies the name at index with its terminator into
    // buffer and returns 1; 0 (buffer untouched) when index is outside 0..99 or
    // the name with its terminator does not fit in size bytes.
    int copyName(int index, char* buffer, int size) const;

private:
    char names_[kSlots][kSlotSize] = {};
    int count_ = 0;
    int dropped_ = 0;
};

}  // namespace pcn::listers
