#include "editing/gui/sheet/CabPropertyPages.h"

#include "editing/gui/sheet/CCabPropertyPage1.h"
#include "editing/gui/sheet/CCabPropertyPage2.h"
#include "editing/gui/sheet/CCabPropertyPage3.h"
#include "editing/gui/sheet/CCabPropertyPage4.h"
#include "editing/gui/sheet/CCabPropertyPage5.h"
#include "editing/gui/sheet/CCabPropertyPage6.h"
#include "editing/gui/sheet/CCabPropertyPage7.h"
#include "editing/gui/sheet/CCabPropertyPage8.h"
#include "editing/gui/sheet/CCabPropertyPageMiniSetup.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

void AddCabPropertyPages(CCabPropertySheet& sheet) {
    const CCabObj& p = sheet.package();
    sheet.addPage(new CCabPropertyPage1(sheet));
    sheet.addPage(new CCabPropertyPage2(sheet));
    sheet.addPage(new CCabPropertyPage3(sheet));
    sheet.addPage(new CCabPropertyPage4(sheet));
    if (p.m_bCabSelf || p.m_bCabWiz) sheet.addPage(new CCabPropertyPage5(sheet));
    if (p.m_bCabWiz) {
        sheet.addPage(new CCabPropertyPage6(sheet));
        sheet.addPage(new CCabPropertyPageMiniSetup(sheet));
    }
    sheet.addPage(new CCabPropertyPage7(sheet));
    if (p.m_bCab) sheet.addPage(new CCabPropertyPage8(sheet));
}

}  // namespace pcn::gui
