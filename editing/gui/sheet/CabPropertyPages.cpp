#include "editing/gui/sheet/CabPropertyPages.h"

#include "editing/gui/sheet/CCabPropertyPage8.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

void AddCabPropertyPages(CCabPropertySheet& sheet) {
    const CCabObj& p = sheet.package();
    if (p.m_bCab) sheet.addPage(new CCabPropertyPage8(sheet));
}

}  // namespace pcn::gui
