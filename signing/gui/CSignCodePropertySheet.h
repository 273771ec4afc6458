#pragma once
// The Sign File wizard: which file to sign and how to name it (page 1), the
// credentials, key, digest and what follows the signing (page 2), then the
// signing itself with the tools' output (page 3). The sheet owns the
// signing job; the pages fill it and remember their values in
// "Settings\CodeSign".

#include "signing/SigningJobs.h"
#include "signing/gui/ToolWizardSheet.h"

namespace pcn::gui {

struct EditingContext;
class CSignCodeMyPropertyPage1;
class CSignCodeMyPropertyPage2;
class CSignCodeMyPropertyPage3;

class CSignCodePropertySheet : public ToolWizardSheet {
    Q_OBJECT
public:
    enum PageId { kFilePage, kCredentialsPage, kSigningPage };

    CSignCodePropertySheet(EditingContext& context, QWidget* parent = nullptr);
    // The worker ends before the job it works on goes.
    ~CSignCodePropertySheet() override;

    EditingContext& context() const { return context_; }
    CSignCodeInfo& job() { return job_; }

    CSignCodeMyPropertyPage1* page1() const { return page1_; }
    CSignCodeMyPropertyPage2* page2() const { return page2_; }
    CSignCodeMyPropertyPage3* page3() const { return page3_; }

private:
    EditingContext& context_;
    CSignCodeInfo job_;
    CSignCodeMyPropertyPage1* page1_;
    CSignCodeMyPropertyPage2* page2_;
    CSignCodeMyPropertyPage3* page3_;
};

// The Sign File command: without SignCode in the program folder, "Unable to
// load SignCode.exe." in the error details dialog; else the wizard, modal.
void RunSignFileCommand(EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
