#pragma once
// "Package Digital Signature": the credentials, key and details the build
// signs the package's output with. Starts from the signing tool's last
// credentials and key.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class SignatureForm;

class CCabWizPage7 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage7(CCabWizSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    // Without credentials or key the user chooses between going on unsigned
    // and staying on the page.
    bool OnWizardNext() override;
    int nextPageId() const override;
    int backPageId() const override;

    SignatureForm* form() const { return form_; }

private:
    SignatureForm* form_;
};

}  // namespace pcn::gui
