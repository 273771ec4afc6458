#include "editing/gui/wizard/CabWizPages.h"

#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::gui {

void AddCabWizPages(CCabWizSheet& sheet) {
    (void)sheet;
}

}  // namespace pcn::gui
