#include "editing/gui/wizard/CCabWizPageMiniSetup.h"

#include <QVBoxLayout>

#include "editing/gui/forms/MiniSetupForm.h"
#include "editing/gui/wizard/CCabWizPage6.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabWizPageMiniSetup::CCabWizPageMiniSetup(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Mini Setup")) {
    setObjectName("CCabWizPageMiniSetup");
    form_ = new MiniSetupForm(sheet.package(), sheet.context(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void CCabWizPageMiniSetup::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
}

bool CCabWizPageMiniSetup::OnWizardNext() {
    if (ShowProblem(context(), form_->check())) return false;
    form_->store(package());
    return true;
}

int CCabWizPageMiniSetup::nextPageId() const { return PageAfterMiniSetup(package()); }

int CCabWizPageMiniSetup::backPageId() const { return CCabWizSheet::kInstallationPage; }

}  // namespace pcn::gui
