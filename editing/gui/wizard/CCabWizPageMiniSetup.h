#pragma once
// "Package Mini Setup": the shortcuts the mini setup of a self-extracting
// wizard package creates.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class MiniSetupForm;

class CCabWizPageMiniSetup : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPageMiniSetup(CCabWizSheet& sheet);

    void OnSetActive() override;
    bool OnWizardNext() override;
    int nextPageId() const override;
    int backPageId() const override;

    MiniSetupForm* form() const { return form_; }

private:
    MiniSetupForm* form_;
};

}  // namespace pcn::gui
