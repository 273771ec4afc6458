#include "editing/gui/sheet/CCabPropertySheet.h"

#include "editing/gui/sheet/CabPropertyPages.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

CCabPropertySheet::CCabPropertySheet(CCabObj& copy, EditingContext& context, QWidget* parent)
    : CPropertySheet(tr("Package Properties"), parent), package_(copy), context_(context) {
    setObjectName("CCabPropertySheet");
    setHelpTopic(this, "project_properties.htm");
    updateApplyButton();
}

bool RunCabinetPropertySheet(CCabObj& copy, int startPage, EditingContext& context, QWidget* parent) {
    CCabPropertySheet sheet(copy, context, parent);
    AddCabPropertyPages(sheet);
    if (sheet.pageCount() == 0) return false;
    if (!sheet.setActivePage(startPage)) sheet.setActivePage(0);
    return sheet.exec() == QDialog::Accepted;
}

}  // namespace pcn::gui
