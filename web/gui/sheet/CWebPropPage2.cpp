#include "web/gui/sheet/CWebPropPage2.h"

#include <QVBoxLayout>

#include "web/gui/forms/DependenciesForm.h"
#include "web/gui/sheet/CWebPropSheet.h"

namespace pcn::gui {

CWebPropPage2::CWebPropPage2(CWebPropSheet& sheet) : CCabPropertyPage(sheet, tr("Dependencies")) {
    setObjectName("CWebPropPage2");
    form_ = new DependenciesForm(sheet.state(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    connect(form_, &DependenciesForm::changed, this, &CWebPropPage2::noteChange);
}

void CWebPropPage2::OnSetActive() {
    form_->initialise();
    form_->fill();
}

}  // namespace pcn::gui
