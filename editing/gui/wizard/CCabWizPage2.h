#pragma once
// "Package Type": the kind of package and its build options, starting from
// the choices of the last package defined.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class TypeForm;

class CCabWizPage2 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage2(CCabWizSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;

    TypeForm* form() const { return form_; }

private:
    TypeForm* form_;
};

}  // namespace pcn::gui
