#include "signing/gui/CCheckTrustSheet.h"

#include "platform/gui/HelpTopicName.h"
#include "signing/gui/CCheckTrustPage1.h"
#include "signing/gui/CCheckTrustPage2.h"
#include "signing/gui/ToolProgressPage.h"

namespace pcn::gui {

CCheckTrustSheet::CCheckTrustSheet(EditingContext& context, QWidget* parent)
    : ToolWizardSheet(parent), context_(context) {
    setObjectName("CCheckTrustSheet");
    setWindowTitle(tr("Check Trust"));
    page1_ = new CCheckTrustPage1(*this);
    page2_ = new CCheckTrustPage2(*this);
    addToolPage(kFilePage, page1_, {QWizard::NextButton, QWizard::CancelButton});
    addProgressPage(kCheckPage, page2_);
    setHelpTopic(this, "signature_check_trust.htm");
    setHelpTopic(page1_, "signature_check_trust.htm#page1");
    setHelpTopic(page2_, "signature_check_trust.htm#page2");
}

CCheckTrustSheet::~CCheckTrustSheet() { progressPage()->stopWorker(); }

void RunCheckTrustCommand(EditingContext& context, QWidget* parent) {
    CCheckTrustSheet sheet(context, parent);
    sheet.exec();
}

}  // namespace pcn::gui
