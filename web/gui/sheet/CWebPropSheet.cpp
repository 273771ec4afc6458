#include "web/gui/sheet/CWebPropSheet.h"

#include "model/CCabObj.h"
#include "platform/gui/HelpTopicName.h"
#include "web/gui/sheet/CWebPropPage1.h"
#include "web/gui/sheet/CWebPropPage2.h"
#include "web/gui/sheet/CWebPropPage3.h"
#include "web/gui/sheet/CWebPropPage4.h"

namespace pcn::gui {

CWebPropSheet::CWebPropSheet(CCabObj& copy, EditingContext& context, QWidget* parent)
    : CCabPropertySheet(copy, context, parent), state_(copy, context) {
    setObjectName("CWebPropSheet");
    setWindowTitle(tr("Inf Properties"));
    setHelpTopic(this, "web_package_properties.htm");
    // The OS flags saved with the package are the user's choices.
    state_.markAllOsChoices(copy.GetDependencyCount());
    page1_ = new CWebPropPage1(*this);
    page2_ = new CWebPropPage2(*this);
    page3_ = new CWebPropPage3(*this);
    page4_ = new CWebPropPage4(*this);
    for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{page1_, page2_, page3_, page4_}) addPage(page);
}

bool RunWebPropertySheet(CCabObj& copy, EditingContext& context, QWidget* parent) {
    CWebPropSheet sheet(copy, context, parent);
    sheet.setActivePage(0);
    return sheet.exec() == QDialog::Accepted;
}

}  // namespace pcn::gui
