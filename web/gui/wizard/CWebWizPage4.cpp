#include "web/gui/wizard/CWebWizPage4.h"

#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "web/gui/forms/InfOutputForm.h"
#include "web/gui/wizard/CWebWizSheet.h"

namespace pcn::gui {

CWebWizPage4::CWebWizPage4(CWebWizSheet& sheet) : CCabWizPage(sheet, tr("Web Inf Package - Inf Output")) {
    setObjectName("CWebWizPage4");
    form_ = new InfOutputForm(sheet.state(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
}

void CWebWizPage4::OnSetActive() {
    form_->build();
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizFinish);
}

// A file that cannot be written has been reported; the definition is kept
// all the same, so that the user can put the target right in its properties.
bool CWebWizPage4::OnWizardFinish() {
    form_->write(context().ui);
    return true;
}

}  // namespace pcn::gui
