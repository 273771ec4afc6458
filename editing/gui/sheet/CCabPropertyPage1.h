#pragma once
// "Information" tab: the package's identity as the wizard asks for it, loaded
// from the package as it is (no defaults, no remembered values, no automatic
// description or comment). Leaving the tab and Apply store it with the
// wizard's checks.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class InformationForm;

class CCabPropertyPage1 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage1(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    bool OnKillActive() override;
    bool OnApply() override;

    InformationForm* form() const { return form_; }

private:
    // Stores the fields and runs the checks; false when a check failed (shown).
    bool store();

    InformationForm* form_ = nullptr;
};

}  // namespace pcn::gui
