#include "editing/gui/wizard/CabWizPages.h"

#include "editing/gui/wizard/CCabWizPageBuild.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::gui {

void AddCabWizPages(CCabWizSheet& sheet) {
    sheet.addCabPage(CCabWizSheet::kBuildPage, new CCabWizPageBuild(sheet));
}

}  // namespace pcn::gui
