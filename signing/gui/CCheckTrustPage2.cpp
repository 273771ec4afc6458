#include "signing/gui/CCheckTrustPage2.h"

#include "signing/gui/CCheckTrustSheet.h"

namespace pcn::gui {

CCheckTrustPage2::CCheckTrustPage2(CCheckTrustSheet& sheet)
    : ToolProgressPage(tr("Check Trust (2 of 2)"), tr("Check Trust"), tr("Checking Trust...."), &sheet) {
    setObjectName("CCheckTrustPage2");
    CCheckTrustInfo& job = sheet.job();
    setWork(job, [&job] { return runTrustCheckWorker(job); });
}

}  // namespace pcn::gui
