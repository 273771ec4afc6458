#pragma once
// "Package User Options": what a self-extracting wizard package asks before
// extracting. Starts from the choices remembered from the last package.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class UserOptionsForm;

class CCabWizPage5 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage5(CCabWizSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;
    int nextPageId() const override;
    int backPageId() const override;

    UserOptionsForm* form() const { return form_; }

private:
    UserOptionsForm* form_;
};

}  // namespace pcn::gui
