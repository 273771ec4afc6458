#include "editing/gui/sheet/CCabPropertyPage7.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "editing/core/SigningDefaults.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/SignatureForm.h"
#include "editing/gui/sheet/CCabPropertyPage2.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabPropertyPage7::CCabPropertyPage7(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Digital Signature")) {
    setObjectName("CCabPropertyPage7");
    form_ = new SignatureForm(context(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void CCabPropertyPage7::OnInitDialog() {
    // A package without its signing files is offered the signing tool's last ones.
    if (package().m_strSignCredentials.empty() || package().m_strSignKey.empty())
        ReadSigningDefaults(package(), context().registry);
    showSigningFiles();
    connect(form_, &SignatureForm::modified, this, &CCabPropertyPage7::noteChange);
}

void CCabPropertyPage7::showSigningFiles() {
    const Loading loading(*this);
    form_->load(package());
}

void CCabPropertyPage7::storeSigningFiles() { form_->store(package()); }

// The Type tab decides; its check box counts before it is applied.
bool CCabPropertyPage7::signatureWanted() const {
    if (auto* type = sheet().findPage<CCabPropertyPage2>(); type && type->isCreated()) return type->signatureWanted();
    return package().m_bSignature != 0;
}

void CCabPropertyPage7::OnSetActive() { form_->setFieldsEnabled(signatureWanted()); }

bool CCabPropertyPage7::OnApply() {
    if (!form_->checkTimeStampServer()) {
        sheet().setActivePage(this);
        return false;
    }
    WriteInformationUrl(context().registry, form_->signInfo()->text().toStdString());
    storeSigningFiles();
    if (!package().m_bSignature || ConfirmSigningCredentials(package(), context().ui)) {
        if (!package().m_bSignature)
            if (auto* type = sheet().findPage<CCabPropertyPage2>()) type->signatureTurnedOff();
        return true;
    }
    sheet().setActivePage(this);
    return false;
}

}  // namespace pcn::gui
