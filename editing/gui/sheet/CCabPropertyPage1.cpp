#include "editing/gui/sheet/CCabPropertyPage1.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "editing/gui/forms/InformationForm.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabPropertyPage1::CCabPropertyPage1(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Information")) {
    setObjectName("CCabPropertyPage1");
    form_ = new InformationForm(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addStretch();
}

void CCabPropertyPage1::OnInitDialog() {
    {
        const Loading loading(*this);
        form_->load(package());
    }
    // The comment is free text that does not count as a change of the package.
    markModifiedOnChange({form_->companyName, form_->copyright, form_->packageDescription, form_->productName,
                          form_->productVersion});
}

bool CCabPropertyPage1::store() {
    form_->store(package());
    package().m_bNewPackage = 0;
    return !ShowProblem(context(), form_->check());
}

bool CCabPropertyPage1::OnKillActive() { return store(); }

// A failed check is shown, but Apply goes on to the other tabs.
bool CCabPropertyPage1::OnApply() {
    store();
    return true;
}

}  // namespace pcn::gui
