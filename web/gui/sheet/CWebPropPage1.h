#pragma once
// "General Information" of an existing web package: leaving the tab, and
// Apply, store the fields and scan the dependencies again when the component
// or a scan option changed. A failed scan is shown in the status text and
// does not keep the user on the tab; a scan the user cancelled does (and
// keeps the sheet open).

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class CWebPropSheet;
class DependencyScan;
class WebGeneralForm;
struct WebSheetState;

class CWebPropPage1 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CWebPropPage1(CWebPropSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;
    bool OnQueryCancel() override;

    WebGeneralForm* form() const { return form_; }
    DependencyScan* scan() const { return scan_; }

private:
    // False when the user cancelled the scan.
    bool storeAndScan();
    void noteRescan();

    WebSheetState& state_;
    WebGeneralForm* form_;
    DependencyScan* scan_;
};

}  // namespace pcn::gui
