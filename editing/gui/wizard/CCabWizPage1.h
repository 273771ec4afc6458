#pragma once
// "Package Information": who makes the package and what it is called. Offers
// the registered organisation and the last values typed as defaults, writes
// Description and Comment while the Product Name is typed, and chooses the
// package file name when the user moves on.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class InformationForm;

class CCabWizPage1 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage1(CCabWizSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;

    InformationForm* form() const { return form_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeMachineDefaults();
    void recallRememberedValues();
    void rememberValues();
    void productNameChanged();
    void productVersionChanged();
    void enableNext();

    InformationForm* form_;
    bool loading_ = false;
    bool companyFocused_ = false;
};

}  // namespace pcn::gui
