#include "web/gui/sheet/CWebPropPage4.h"

#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "web/gui/forms/InfOutputForm.h"
#include "web/gui/sheet/CWebPropSheet.h"

namespace pcn::gui {

CWebPropPage4::CWebPropPage4(CWebPropSheet& sheet) : CCabPropertyPage(sheet, tr("Inf Output")) {
    setObjectName("CWebPropPage4");
    form_ = new InfOutputForm(sheet.state(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
}

void CWebPropPage4::OnSetActive() { form_->build(); }

// A file that cannot be written has been reported; the edits are kept.
bool CWebPropPage4::OnApply() {
    form_->write(context().ui);
    return true;
}

}  // namespace pcn::gui
