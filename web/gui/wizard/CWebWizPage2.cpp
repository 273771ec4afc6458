#include "web/gui/wizard/CWebWizPage2.h"

#include <QVBoxLayout>

#include "web/gui/forms/DependenciesForm.h"
#include "web/gui/wizard/CWebWizSheet.h"

namespace pcn::gui {

CWebWizPage2::CWebWizPage2(CWebWizSheet& sheet) : CCabWizPage(sheet, tr("Web Inf Package - Dependencies")) {
    setObjectName("CWebWizPage2");
    form_ = new DependenciesForm(sheet.state(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
}

void CWebWizPage2::OnSetActive() {
    // The caption follows the component, which Back may have changed.
    form_->initialise();
    form_->fill();
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
}

}  // namespace pcn::gui
