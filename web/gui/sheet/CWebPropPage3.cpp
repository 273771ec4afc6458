#include "web/gui/sheet/CWebPropPage3.h"

#include <QVBoxLayout>

#include "web/gui/forms/OsTypesForm.h"
#include "web/gui/sheet/CWebPropSheet.h"

namespace pcn::gui {

CWebPropPage3::CWebPropPage3(CWebPropSheet& sheet) : CCabPropertyPage(sheet, tr("Dependencies OS Types")) {
    setObjectName("CWebPropPage3");
    form_ = new OsTypesForm(sheet.state(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    connect(form_, &OsTypesForm::changed, this, &CWebPropPage3::noteChange);
}

void CWebPropPage3::OnSetActive() { form_->fill(); }

}  // namespace pcn::gui
