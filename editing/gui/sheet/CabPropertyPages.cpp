#include "editing/gui/sheet/CabPropertyPages.h"

#include "editing/gui/sheet/CCabPropertySheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

void AddCabPropertyPages(CCabPropertySheet& sheet) {
    (void)sheet;
}

}  // namespace pcn::gui
