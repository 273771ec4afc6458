#pragma once
// The web package wizard: four pages that define a new web INF package for
// an ActiveX component (general information and the dependency scan, the
// dependencies to include, their OS and processor, the INF output) and
// write its INF file and HTML page on Finish. Runs on the cabinet wizard's
// machinery (buttons, moves between pages).

#include "editing/gui/wizard/CCabWizSheet.h"
#include "web/gui/WebSheetState.h"

namespace pcn::gui {

class CWebWizPage1;
class CWebWizPage2;
class CWebWizPage3;
class CWebWizPage4;

class CWebWizSheet : public CCabWizSheet {
    Q_OBJECT
public:
    enum PageId { kGeneralPage, kDependenciesPage, kOsTypesPage, kInfOutputPage };

    CWebWizSheet(CCabObj& package, EditingContext& context, QWidget* parent = nullptr);

    WebSheetState& state() { return state_; }
    CWebWizPage1* page1() const { return page1_; }
    CWebWizPage2* page2() const { return page2_; }
    CWebWizPage3* page3() const { return page3_; }
    CWebWizPage4* page4() const { return page4_; }

private:
    WebSheetState state_;
    CWebWizPage1* page1_;
    CWebWizPage2* page2_;
    CWebWizPage3* page3_;
    CWebWizPage4* page4_;
};

// Runs the wizard modally on a fresh web package definition; Finished when
// the user finished it (the package files are then written).
WizardResult RunWebWizard(CCabObj& package, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
