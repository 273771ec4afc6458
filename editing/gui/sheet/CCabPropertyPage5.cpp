#include "editing/gui/sheet/CCabPropertyPage5.h"

#include <QVBoxLayout>

#include "editing/gui/forms/UserOptionsForm.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabPropertyPage5::CCabPropertyPage5(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("User Options")) {
    setObjectName("CCabPropertyPage5");
    form_ = new UserOptionsForm(context(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void CCabPropertyPage5::OnInitDialog() {
    {
        const Loading loading(*this);
        form_->load(package());
    }
    connect(form_, &UserOptionsForm::modified, this, &CCabPropertyPage5::noteChange);
}

bool CCabPropertyPage5::OnKillActive() {
    form_->store(package());
    return true;
}

bool CCabPropertyPage5::OnApply() { return OnKillActive(); }

}  // namespace pcn::gui
