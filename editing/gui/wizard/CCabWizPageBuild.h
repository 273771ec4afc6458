#pragma once
// The wizard's last page, "Build File(s)": builds the package every time it
// becomes the current page and shows the build on the build hosts' panel.
// While the build runs only a disabled Finish is offered and Cancel asks the
// build to stop (the sheet stays open); a finished build offers "&Close" as
// Finish, a failed one Back and "&Close" as Next.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class BuildHostPanel;

class CCabWizPageBuild : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPageBuild(CCabWizSheet& sheet);
    ~CCabWizPageBuild() override;

    BuildHostPanel* panel() const { return panel_; }

    void OnSetActive() override;
    bool OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnQueryCancel() override;
    int nextPageId() const override { return -1; }
    int backPageId() const override;

private:
    void buildEnded(bool success);
    void pageLeft();

    BuildHostPanel* panel_ = nullptr;
    bool finishing_ = false;
};

}  // namespace pcn::gui
