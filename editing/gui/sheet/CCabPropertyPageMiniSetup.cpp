#include "editing/gui/sheet/CCabPropertyPageMiniSetup.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "editing/gui/forms/MiniSetupForm.h"
#include "editing/gui/sheet/CCabPropertyPage2.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabPropertyPageMiniSetup::CCabPropertyPageMiniSetup(CCabPropertySheet& sheet)
    : CCabPropertyPage(sheet, tr("Mini Setup")) {
    setObjectName("CCabPropertyPageMiniSetup");
    form_ = new MiniSetupForm(package(), context(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void CCabPropertyPageMiniSetup::OnInitDialog() {
    {
        const Loading loading(*this);
        form_->load(package());
    }
    connect(form_, &MiniSetupForm::modified, this, &CCabPropertyPageMiniSetup::noteChange);
}

// Shortcuts are made only by a package that includes the mini setup; the
// Type tab's box counts before it is applied.
void CCabPropertyPageMiniSetup::OnSetActive() {
    auto* type = sheet().findPage<CCabPropertyPage2>();
    const bool miniSetup = type && type->isCreated() ? type->miniSetupWanted() : package().m_bMiniSetup != 0;
    form_->shortcutGroup()->setEnabled(miniSetup);
    form_->shortcuts()->setEnabled(miniSetup);
}

bool CCabPropertyPageMiniSetup::OnApply() {
    if (ShowProblem(context(), form_->check())) return false;
    form_->store(package());
    return true;
}

}  // namespace pcn::gui
