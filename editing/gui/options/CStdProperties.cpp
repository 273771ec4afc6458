#include "editing/gui/options/CStdProperties.h"

#include "editing/gui/options/CStdPropertyPage0.h"
#include "editing/gui/options/CStdPropertyPage1.h"
#include "editing/gui/options/CStdPropertyPage2.h"
#include "editing/gui/options/CStdPropertyPage3.h"

namespace pcn::gui {

CStdProperties::CStdProperties(EditingContext& context, QWidget* parent)
    : CPropertySheet(kOptionsCaption, parent), context_(context) {
    setObjectName("CStdProperties");
    addPage(new CStdPropertyPage0(*this));
    addPage(new CStdPropertyPage2(*this));
    addPage(new CStdPropertyPage3(*this));
    addPage(new CStdPropertyPage1(*this));
}

bool RunOptionsSheet(EditingContext& context, QWidget* parent) {
    CStdProperties sheet(context, parent);
    return sheet.exec() == QDialog::Accepted;
}

}  // namespace pcn::gui
