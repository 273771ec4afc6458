#include "web/gui/wizard/CWebWizSheet.h"

#include "platform/gui/HelpTopicName.h"
#include "web/gui/wizard/CWebWizPage1.h"
#include "web/gui/wizard/CWebWizPage2.h"
#include "web/gui/wizard/CWebWizPage3.h"
#include "web/gui/wizard/CWebWizPage4.h"

namespace pcn::gui {

CWebWizSheet::CWebWizSheet(CCabObj& package, EditingContext& context, QWidget* parent)
    : CCabWizSheet(package, context, parent, WithoutCabinetPages{}), state_(package, context) {
    setObjectName("CWebWizSheet");
    setWindowTitle(tr("New Web Package"));
    setHelpTopic(this, "web_package_wizard.htm");
    page1_ = new CWebWizPage1(*this);
    page2_ = new CWebWizPage2(*this);
    page3_ = new CWebWizPage3(*this);
    page4_ = new CWebWizPage4(*this);
    addCabPage(kGeneralPage, page1_);
    addCabPage(kDependenciesPage, page2_);
    addCabPage(kOsTypesPage, page3_);
    addCabPage(kInfOutputPage, page4_);
    const std::pair<int, const char*> topics[] = {
        {kGeneralPage, "web_package_wizard.htm#general"},
        {kDependenciesPage, "web_package_wizard.htm#dependencies"},
        {kOsTypesPage, "web_package_wizard.htm#os-types"},
        {kInfOutputPage, "web_package_wizard.htm#inf-output"},
    };
    setPageTopics(topics);
}

WizardResult RunWebWizard(CCabObj& package, EditingContext& context, QWidget* parent) {
    CWebWizSheet sheet(package, context, parent);
    return sheet.exec() == QDialog::Accepted ? WizardResult::Finished : WizardResult::Cancelled;
}

}  // namespace pcn::gui
