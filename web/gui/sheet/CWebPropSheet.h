#pragma once
// "Inf Properties": the four tabs of an existing web package, on a working
// copy of its definition. Leaving the first tab (or Apply) scans the
// dependencies again when the component or the scan options changed; Apply
// and OK write the package files when the Inf Output tab has been shown.

#include "editing/gui/sheet/CCabPropertySheet.h"
#include "web/gui/WebSheetState.h"

namespace pcn::gui {

class CWebPropPage1;
class CWebPropPage2;
class CWebPropPage3;
class CWebPropPage4;

class CWebPropSheet : public CCabPropertySheet {
    Q_OBJECT
public:
    CWebPropSheet(CCabObj& copy, EditingContext& context, QWidget* parent = nullptr);

    WebSheetState& state() { return state_; }
    CWebPropPage1* page1() const { return page1_; }
    CWebPropPage2* page2() const { return page2_; }
    CWebPropPage3* page3() const { return page3_; }
    CWebPropPage4* page4() const { return page4_; }

private:
    WebSheetState state_;
    CWebPropPage1* page1_;
    CWebPropPage2* page2_;
    CWebPropPage3* page3_;
    CWebPropPage4* page4_;
};

// Runs the sheet modally on a working copy; true for OK.
bool RunWebPropertySheet(CCabObj& copy, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
