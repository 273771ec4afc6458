#pragma once
// "Dependencies": which libraries go into the package.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class CWebWizSheet;
class DependenciesForm;

class CWebWizPage2 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CWebWizPage2(CWebWizSheet& sheet);

    void OnSetActive() override;

    DependenciesForm* form() const { return form_; }

private:
    DependenciesForm* form_;
};

}  // namespace pcn::gui
