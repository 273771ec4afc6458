#include "editing/gui/wizard/CabWizPages.h"

#include "editing/gui/wizard/CCabWizPage5.h"
#include "editing/gui/wizard/CCabWizPage6.h"
#include "editing/gui/wizard/CCabWizPage7.h"
#include "editing/gui/wizard/CCabWizPage8.h"
#include "editing/gui/wizard/CCabWizPage9.h"
#include "editing/gui/wizard/CCabWizPageMiniSetup.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::gui {

void AddCabWizPages(CCabWizSheet& sheet) {
    sheet.addCabPage(CCabWizSheet::kUserOptionsPage, new CCabWizPage5(sheet));
    sheet.addCabPage(CCabWizSheet::kInstallationPage, new CCabWizPage6(sheet));
    sheet.addCabPage(CCabWizSheet::kMiniSetupPage, new CCabWizPageMiniSetup(sheet));
    sheet.addCabPage(CCabWizSheet::kSignaturePage, new CCabWizPage7(sheet));
    sheet.addCabPage(CCabWizSheet::kInfPage, new CCabWizPage8(sheet));
    sheet.addCabPage(CCabWizSheet::kSummaryPage, new CCabWizPage9(sheet));
}

}  // namespace pcn::gui
