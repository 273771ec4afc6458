#pragma once
// The Check Trust wizard: the file and whether to show its trust information
// (page 1), then the check with its outcome (page 2). The sheet owns the
// trust-check job.

#include "signing/SigningJobs.h"
#include "signing/gui/ToolWizardSheet.h"

namespace pcn::gui {

struct EditingContext;
class CCheckTrustPage1;
class CCheckTrustPage2;

class CCheckTrustSheet : public ToolWizardSheet {
    Q_OBJECT
public:
    enum PageId { kFilePage, kCheckPage };

    CCheckTrustSheet(EditingContext& context, QWidget* parent = nullptr);
    // The worker ends before the job it works on goes.
    ~CCheckTrustSheet() override;

    EditingContext& context() const { return context_; }
    CCheckTrustInfo& job() { return job_; }
    CCheckTrustPage1* page1() const { return page1_; }
    CCheckTrustPage2* page2() const { return page2_; }

private:
    EditingContext& context_;
    CCheckTrustInfo job_;
    CCheckTrustPage1* page1_;
    CCheckTrustPage2* page2_;
};

// The Check Trust command: the wizard, modal (ChkTrust's absence shows in
// the check's own report).
void RunCheckTrustCommand(EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
