#include "editing/gui/wizard/CCabWizPage5.h"

#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/UserOptionsForm.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "editing/gui/forms/RememberedValues.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

CCabWizPage5::CCabWizPage5(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package User Options")) {
    setObjectName("CCabWizPage5");
    form_ = new UserOptionsForm(sheet.context(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void CCabWizPage5::OnInitDialog() {
    CCabObj& p = package();
    const SettingsStore& settings = context().settings;
    p.m_bText = settings.readInt(kPackageSection, "PromptUser", p.m_bText);
    p.m_bPassword = settings.readInt(kPackageSection, "UsePassword", p.m_bPassword);
    p.m_bLicense = settings.readInt(kPackageSection, "UseLicenseFile", p.m_bLicense);
    p.m_strText = settings.readString(kPackageSection, "PromptUserText", "");
    p.m_strPassword = settings.readString(kPackageSection, "Password", "");
    p.m_strLicenseFile = settings.readString(kPackageSection, "LicenseFile", "");
    form_->load(p);
}

void CCabWizPage5::OnSetActive() { sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext); }

bool CCabWizPage5::OnWizardNext() {
    if (!form_->checkLicenceFile()) return false;
    CCabObj& p = package();
    form_->store(p);
    SettingsStore& settings = context().settings;
    settings.writeInt(kPackageSection, "PromptUser", p.m_bText);
    settings.writeInt(kPackageSection, "UsePassword", p.m_bPassword);
    settings.writeInt(kPackageSection, "UseLicenseFile", p.m_bLicense);
    settings.writeString(kPackageSection, "PromptUserText", p.m_strText);
    settings.writeString(kPackageSection, "Password", p.m_strPassword);
    settings.writeString(kPackageSection, "LicenseFile", p.m_strLicenseFile);
    return true;
}

int CCabWizPage5::nextPageId() const { return CCabWizSheet::kInstallationPage; }

int CCabWizPage5::backPageId() const { return CCabWizSheet::kFilesPage; }

}  // namespace pcn::gui
