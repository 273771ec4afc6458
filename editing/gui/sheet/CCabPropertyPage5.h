#pragma once
// "User Options" tab: what a self-extracting package shows or asks before it
// extracts. Stored when the tab is left and on Apply, without checks.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class UserOptionsForm;

class CCabPropertyPage5 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage5(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    bool OnKillActive() override;
    bool OnApply() override;

    UserOptionsForm* form() const { return form_; }

private:
    UserOptionsForm* form_ = nullptr;
};

}  // namespace pcn::gui
