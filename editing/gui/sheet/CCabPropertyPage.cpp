#include "editing/gui/sheet/CCabPropertyPage.h"

#include "editing/gui/sheet/CCabPropertySheet.h"

namespace pcn::gui {

CCabPropertyPage::CCabPropertyPage(CCabPropertySheet& sheet, const QString& caption)
    : CPropertyPage(sheet, caption), sheet_(sheet) {}

CCabObj& CCabPropertyPage::package() const { return sheet_.package(); }

EditingContext& CCabPropertyPage::context() const { return sheet_.context(); }

}  // namespace pcn::gui
