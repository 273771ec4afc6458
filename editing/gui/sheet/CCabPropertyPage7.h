#pragma once
// "Digital Signature" tab: credentials, private key, information, digest and
// time stamp. Stored on Apply only; Apply is refused when signing is on
// without credentials and key and the user will not go on without it.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class SignatureForm;

class CCabPropertyPage7 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage7(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnApply() override;

    SignatureForm* form() const { return form_; }
    // Shows the package's signing values again (the Type tab filled them in).
    void showSigningFiles();
    // Puts the tab's signing values into the package.
    void storeSigningFiles();

private:
    bool signatureWanted() const;

    SignatureForm* form_ = nullptr;
};

}  // namespace pcn::gui
