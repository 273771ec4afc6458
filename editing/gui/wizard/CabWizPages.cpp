#include "editing/gui/wizard/CabWizPages.h"

#include "editing/gui/wizard/CCabWizPage1.h"
#include "editing/gui/wizard/CCabWizPage2.h"
#include "editing/gui/wizard/CCabWizPage3.h"
#include "editing/gui/wizard/CCabWizPage4.h"
#include "editing/gui/wizard/CCabWizPage5.h"
#include "editing/gui/wizard/CCabWizPage6.h"
#include "editing/gui/wizard/CCabWizPage7.h"
#include "editing/gui/wizard/CCabWizPage8.h"
#include "editing/gui/wizard/CCabWizPage9.h"
#include "editing/gui/wizard/CCabWizPageMiniSetup.h"
#include "editing/gui/wizard/CCabWizPageBuild.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::gui {

void AddCabWizPages(CCabWizSheet& sheet) {
    sheet.addCabPage(CCabWizSheet::kInformationPage, new CCabWizPage1(sheet));
    sheet.addCabPage(CCabWizSheet::kTypePage, new CCabWizPage2(sheet));
    sheet.addCabPage(CCabWizSheet::kFolderPage, new CCabWizPage3(sheet));
    sheet.addCabPage(CCabWizSheet::kFilesPage, new CCabWizPage4(sheet));
    sheet.addCabPage(CCabWizSheet::kUserOptionsPage, new CCabWizPage5(sheet));
    sheet.addCabPage(CCabWizSheet::kInstallationPage, new CCabWizPage6(sheet));
    sheet.addCabPage(CCabWizSheet::kMiniSetupPage, new CCabWizPageMiniSetup(sheet));
    sheet.addCabPage(CCabWizSheet::kSignaturePage, new CCabWizPage7(sheet));
    sheet.addCabPage(CCabWizSheet::kInfPage, new CCabWizPage8(sheet));
    sheet.addCabPage(CCabWizSheet::kSummaryPage, new CCabWizPage9(sheet));
    sheet.addCabPage(CCabWizSheet::kBuildPage, new CCabWizPageBuild(sheet));
}

}  // namespace pcn::gui
