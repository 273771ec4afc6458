#pragma once
// "Package Properties": the tabs of an existing cabinet-type package, chosen
// from its kind flags when the sheet is built and fixed from then on. The
// sheet edits a working copy; OK and Apply run the store steps of the tabs
// that were opened, and the caller copies the working copy back on OK.

#include "editing/gui/PropertySheet.h"

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

struct EditingContext;

class CCabPropertySheet : public CPropertySheet {
    Q_OBJECT
public:
    // An empty sheet; AddCabPropertyPages gives it the tabs of the copy's kind.
    CCabPropertySheet(CCabObj& copy, EditingContext& context, QWidget* parent = nullptr);

    CCabObj& package() const { return package_; }
    EditingContext& context() const { return context_; }

private:
    CCabObj& package_;
    EditingContext& context_;
};

// Runs the sheet modally on a working copy, starting at the given tab
// (0-based; out of range opens the first). True for OK.
bool RunCabinetPropertySheet(CCabObj& copy, int startPage, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
