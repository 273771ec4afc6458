#pragma once
// "Mini Setup" tab: the shortcut group and shortcuts a self-extracting wizard
// package creates. Stored on Apply only.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class MiniSetupForm;

class CCabPropertyPageMiniSetup : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPageMiniSetup(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnApply() override;

    MiniSetupForm* form() const { return form_; }

private:
    MiniSetupForm* form_ = nullptr;
};

}  // namespace pcn::gui
