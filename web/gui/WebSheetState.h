#pragma once
// What the four pages of a web sheet share besides the definition they edit:
// the rescan flag (the dependency list must be scanned again when the first
// page is left) and which entries already carry an OS choice, so that the
// Dependencies page gives Win32 only to entries that have none.

#include <vector>

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

struct EditingContext;

struct WebSheetState {
    WebSheetState(CCabObj& definition, EditingContext& editing) : package(definition), context(editing) {}

    CCabObj& package;
    EditingContext& context;
    int m_bRescan = 0;

    bool hasOsChoice(int entry) const { return entry >= 0 && size_t(entry) < osChosen_.size() && osChosen_[size_t(entry)]; }
    void markOsChoice(int entry) {
        if (entry < 0) return;
        if (size_t(entry) >= osChosen_.size()) osChosen_.resize(size_t(entry) + 1, false);
        osChosen_[size_t(entry)] = true;
    }
    // Every entry the list has now keeps its OS flags (a saved package's).
    void markAllOsChoices(int count) { osChosen_.assign(size_t(count > 0 ? count : 0), true); }
    // A new scan: no entry has a choice yet.
    void forgetOsChoices() { osChosen_.clear(); }

private:
    std::vector<bool> osChosen_;
};

}  // namespace pcn::gui
