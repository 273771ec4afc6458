#include "editing/gui/sheet/CCabPropertyPage.h"

#include "editing/gui/sheet/CCabPropertySheet.h"

namespace pcn::gui {

CCabPropertyPage::CCabPropertyPage(CCabPropertySheet& sheet, const QString& caption)
    : sheet_(sheet), caption_(caption) {}

CCabObj& CCabPropertyPage::package() const { return sheet_.package(); }

EditingContext& CCabPropertyPage::context() const { return sheet_.context(); }

void CCabPropertyPage::SetModified(bool modified) {
    modified_ = modified;
    sheet_.updateApplyButton();
}

void CCabPropertyPage::activate() {
    if (!created_) {
        created_ = true;
        OnInitDialog();
    }
    OnSetActive();
}

}  // namespace pcn::gui
