#pragma once
// "Inf Output": the INF text (and HTML page) of the package; Finish writes them.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class CWebWizSheet;
class InfOutputForm;

class CWebWizPage4 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CWebWizPage4(CWebWizSheet& sheet);

    void OnSetActive() override;
    bool OnWizardFinish() override;

    InfOutputForm* form() const { return form_; }

private:
    InfOutputForm* form_;
};

}  // namespace pcn::gui
