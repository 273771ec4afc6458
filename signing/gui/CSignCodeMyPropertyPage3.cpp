#include "signing/gui/CSignCodeMyPropertyPage3.h"

#include "signing/gui/CSignCodePropertySheet.h"

namespace pcn::gui {

CSignCodeMyPropertyPage3::CSignCodeMyPropertyPage3(CSignCodePropertySheet& sheet)
    : ToolProgressPage(tr("Code Signing Wizard (3 of 3)"), tr("Digital Signature"), tr("Signing Code...."), &sheet) {
    setObjectName("CSignCodeMyPropertyPage3");
    CSignCodeInfo& job = sheet.job();
    setWork(job, [&job] { return runSigningWorker(job); });
}

}  // namespace pcn::gui
