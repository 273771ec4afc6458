#pragma once
// "Dependencies OS Types": the OS and processor each included library is downloaded for.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class CWebWizSheet;
class OsTypesForm;

class CWebWizPage3 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CWebWizPage3(CWebWizSheet& sheet);

    void OnSetActive() override;

    OsTypesForm* form() const { return form_; }

private:
    OsTypesForm* form_;
};

}  // namespace pcn::gui
