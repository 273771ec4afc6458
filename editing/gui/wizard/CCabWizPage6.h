#pragma once
// "Package Installations Options": where a self-extracting wizard package
// installs and which program it starts afterwards.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class InstallationForm;

class CCabWizPage6 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage6(CCabWizSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;
    int nextPageId() const override;
    int backPageId() const override;

    InstallationForm* form() const { return form_; }

private:
    InstallationForm* form_;
};

// Where the pages after the Installation page lead: the Mini Setup page when
// the package has one, else the Signature page when it is signed, else the
// Summary page.
int PageAfterInstallation(const CCabObj& package);
// After the Mini Setup page: the Signature page when signed, else the Summary page.
int PageAfterMiniSetup(const CCabObj& package);

}  // namespace pcn::gui
