#include "editing/gui/wizard/CCabWizPage8.h"

#include <QVBoxLayout>

#include "building/CabInfWriter.h"
#include "editing/gui/forms/InfForm.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabWizPage8::CCabWizPage8(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Inf")) {
    setObjectName("CCabWizPage8");
    form_ = new InfForm(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

// The files may have changed since the last visit; edits made then are dropped.
void CCabWizPage8::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
    form_->setInfText(GenerateCabInfText(package()));
}

bool CCabWizPage8::OnWizardNext() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizFinish);
    package().m_strInfText = form_->infText();
    return true;
}

int CCabWizPage8::nextPageId() const { return CCabWizSheet::kSummaryPage; }

int CCabWizPage8::backPageId() const {
    return package().m_bSignature ? CCabWizSheet::kSignaturePage : CCabWizSheet::kFolderPage;
}

}  // namespace pcn::gui
