#include "editing/gui/sheet/CCabPropertyPage2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editing/core/SigningDefaults.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/TypeForm.h"
#include "editing/gui/sheet/CCabPropertyPage7.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabPropertyPage2::CCabPropertyPage2(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Type")) {
    setObjectName("CCabPropertyPage2");
    form_ = new TypeForm(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addStretch();
}

void CCabPropertyPage2::OnInitDialog() {
    {
        const Loading loading(*this);
        form_->load(package());
    }
    // Choosing Cab File or Cab Self Extracting alone is no change to apply.
    for (QAbstractButton* option : std::initializer_list<QAbstractButton*>{
             form_->selfExtractingWizard, form_->singleFile, form_->useCompression, form_->scanGuid,
             form_->createInf, form_->includeInf, form_->includeMiniSetup})
        connect(option, &QAbstractButton::clicked, this, &CCabPropertyPage2::optionClicked);
    connect(form_->maximumSize, &QComboBox::editTextChanged, this, &CCabPropertyPage2::optionClicked);
    connect(form_->compressionMethod, &QComboBox::activated, this, &CCabPropertyPage2::optionClicked);
    connect(form_->addSignature, &QAbstractButton::clicked, this, &CCabPropertyPage2::signatureClicked);
}

void CCabPropertyPage2::optionClicked() {
    if (isLoading()) return;
    form_->applyEnablingRules();
    noteChange();
}

// Signing just turned on starts from the signing tool's last credentials and key.
void CCabPropertyPage2::signatureClicked() {
    optionClicked();
    if (!form_->addSignature->isChecked()) return;
    ReadSigningDefaults(package(), context().registry);
    if (auto* signature = sheet().findPage<CCabPropertyPage7>(); signature && signature->isCreated())
        signature->showSigningFiles();
}

bool CCabPropertyPage2::signatureWanted() const {
    return form_ ? form_->addSignature->isChecked() : package().m_bSignature != 0;
}

bool CCabPropertyPage2::miniSetupWanted() const {
    return form_ ? form_->selfExtractingWizard->isChecked() && form_->includeMiniSetup->isChecked()
                 : package().m_bMiniSetup != 0;
}

void CCabPropertyPage2::signatureTurnedOff() {
    if (form_) form_->addSignature->setChecked(false);
}

bool CCabPropertyPage2::OnApply() {
    form_->store(package());
    form_->applyEnablingRules();
    if (!package().m_bSignature) return true;
    // Credentials and key typed on the Digital Signature tab count, even
    // though that tab stores them after this one.
    auto* signature = sheet().findPage<CCabPropertyPage7>();
    if (signature && signature->isCreated()) signature->storeSigningFiles();
    if (ConfirmSigningCredentials(package(), context().ui)) {
        form_->addSignature->setChecked(package().m_bSignature != 0);
        return true;
    }
    if (signature) sheet().setActivePage(signature);
    return false;
}

}  // namespace pcn::gui
