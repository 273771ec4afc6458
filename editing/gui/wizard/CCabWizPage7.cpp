#include "editing/gui/wizard/CCabWizPage7.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "building/BuildSupport.h"
#include "editing/core/SigningDefaults.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/SignatureForm.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"
#include "model/Digest.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

CCabWizPage7::CCabWizPage7(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Digital Signature")) {
    setObjectName("CCabWizPage7");
    form_ = new SignatureForm(sheet.context(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void CCabWizPage7::OnInitDialog() {
    ReadSigningDefaults(package(), context().registry);
    form_->load(package());
}

void CCabWizPage7::OnSetActive() { sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext); }

bool CCabWizPage7::OnWizardNext() {
    if (!form_->checkTimeStampServer()) return false;
    WriteInformationUrl(context().registry, form_->signInfo()->text().toStdString());
    form_->store(package());
    // The digest chosen here is the next package's default.
    context().settings.writeInt(kDigestSection, kDigestValue, package().m_bMD5);
    return ConfirmSigningCredentials(package(), context().ui);
}

int CCabWizPage7::nextPageId() const {
    const CCabObj& p = package();
    return BuildKind(p) == kKindCabinet && p.m_bCreateInf ? CCabWizSheet::kInfPage : CCabWizSheet::kSummaryPage;
}

int CCabWizPage7::backPageId() const {
    const CCabObj& p = package();
    if (BuildKind(p) != kKindSelfExtractingWizard) return CCabWizSheet::kFolderPage;
    return p.m_bMiniSetup ? CCabWizSheet::kMiniSetupPage : CCabWizSheet::kInstallationPage;
}

}  // namespace pcn::gui
