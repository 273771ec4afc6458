#pragma once
// "Type" tab: the package's kind and build options. Stored on Apply only;
// Apply is refused when signing is wanted without credentials and key and
// the user will not go on without it.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class TypeForm;

class CCabPropertyPage2 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage2(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    bool OnApply() override;

    TypeForm* form() const { return form_; }
    // Whether the package is to be signed, as this tab shows it when opened.
    bool signatureWanted() const;
    // Include Mini Setup as this tab shows it when opened.
    bool miniSetupWanted() const;
    // Signing was turned off on the Digital Signature tab.
    void signatureTurnedOff();

private:
    void optionClicked();
    void signatureClicked();

    TypeForm* form_ = nullptr;
};

}  // namespace pcn::gui
