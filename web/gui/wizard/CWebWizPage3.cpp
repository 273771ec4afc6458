#include "web/gui/wizard/CWebWizPage3.h"

#include <QVBoxLayout>

#include "web/gui/forms/OsTypesForm.h"
#include "web/gui/wizard/CWebWizSheet.h"

namespace pcn::gui {

CWebWizPage3::CWebWizPage3(CWebWizSheet& sheet) : CCabWizPage(sheet, tr("Web Inf Package - Dependencies OS Types")) {
    setObjectName("CWebWizPage3");
    form_ = new OsTypesForm(sheet.state(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
}

void CWebWizPage3::OnSetActive() {
    form_->fill();
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
}

}  // namespace pcn::gui
