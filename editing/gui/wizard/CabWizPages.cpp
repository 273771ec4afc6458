#include "editing/gui/wizard/CabWizPages.h"

#include "editing/gui/wizard/CCabWizPage1.h"
#include "editing/gui/wizard/CCabWizPage2.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::gui {

void AddCabWizPages(CCabWizSheet& sheet) {
    sheet.addCabPage(CCabWizSheet::kInformationPage, new CCabWizPage1(sheet));
    sheet.addCabPage(CCabWizSheet::kTypePage, new CCabWizPage2(sheet));
}

}  // namespace pcn::gui
