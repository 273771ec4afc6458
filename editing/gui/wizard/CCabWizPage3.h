#pragma once
// "Package Folder": the source folder, the project name and the target
// folder. The target follows the project name as it is typed; a project
// whose first output file already exists is refused.

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class FolderForm;

class CCabWizPage3 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage3(CCabWizSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;

    FolderForm* form() const { return form_; }

private:
    FolderForm* form_;
};

}  // namespace pcn::gui
