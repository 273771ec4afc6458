#pragma once
// "Installation" tab: where a self-extracting wizard package installs and
// which program it starts afterwards. Stored when the tab is left and on
// Apply.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class InstallationForm;

class CCabPropertyPage6 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage6(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;

    InstallationForm* form() const { return form_; }

private:
    InstallationForm* form_ = nullptr;
};

}  // namespace pcn::gui
