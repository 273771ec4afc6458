#pragma once
// "Package Inf": the cabinet INF text, generated afresh on every visit and
// editable before it is stored.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class InfForm;

class CCabWizPage8 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage8(CCabWizSheet& sheet);

    void OnSetActive() override;
    bool OnWizardNext() override;
    int nextPageId() const override;
    int backPageId() const override;

    InfForm* form() const { return form_; }

private:
    InfForm* form_;
};

}  // namespace pcn::gui
