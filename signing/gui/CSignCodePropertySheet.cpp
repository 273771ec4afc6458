#include "signing/gui/CSignCodePropertySheet.h"

#include <cerrno>

#include "distribution/ErrorReport.h"
#include "editing/gui/EditingContext.h"
#include "platform/Paths.h"
#include "signing/gui/CSignCodeMyPropertyPage1.h"
#include "signing/gui/CSignCodeMyPropertyPage2.h"
#include "signing/gui/CSignCodeMyPropertyPage3.h"
#include "platform/gui/HelpTopicName.h"
#include "signing/gui/ToolProgressPage.h"

namespace pcn::gui {

CSignCodePropertySheet::CSignCodePropertySheet(EditingContext& context, QWidget* parent)
    : ToolWizardSheet(parent), context_(context), job_(&context.settings) {
    setObjectName("CSignCodePropertySheet");
    setWindowTitle(tr("Sign File"));
    page1_ = new CSignCodeMyPropertyPage1(*this);
    page2_ = new CSignCodeMyPropertyPage2(*this);
    page3_ = new CSignCodeMyPropertyPage3(*this);
    addToolPage(kFilePage, page1_, {QWizard::NextButton, QWizard::CancelButton});
    addToolPage(kCredentialsPage, page2_, {QWizard::BackButton, QWizard::FinishButton, QWizard::CancelButton});
    addProgressPage(kSigningPage, page3_);
    setHelpTopic(this, "signature_sign.htm");
    setHelpTopic(page1_, "signature_sign.htm#page1");
    setHelpTopic(page2_, "signature_sign.htm#page2");
    setHelpTopic(page3_, "signature_sign.htm#page3");
}

CSignCodePropertySheet::~CSignCodePropertySheet() { progressPage()->stopWorker(); }

void RunSignFileCommand(EditingContext& context, QWidget* parent) {
    if (!fileExists(toolPath(kSignCodeTool))) {
        reportWithErrorDetails(context.ui, "Unable to load SignCode.exe.", ENOENT);
        return;
    }
    CSignCodePropertySheet sheet(context, parent);
    sheet.exec();
}

}  // namespace pcn::gui
