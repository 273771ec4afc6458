#pragma once
// "Package Files": the files the source folder holds, plus any added by
// hand. The folder is scanned on the first visit and again only when the
// source folder or the sub-folder choice changed (or a folder was browsed
// for), so that files added by hand survive a look back at earlier pages.

#include <optional>
#include <string>

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class FilesForm;

class CCabWizPage4 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage4(CCabWizSheet& sheet);

    void OnSetActive() override;
    bool OnWizardNext() override;
    int nextPageId() const override;

    FilesForm* form() const { return form_; }

private:
    struct Scanned {
        std::string folder;
        int32_t subFolders = 0;
        bool operator==(const Scanned&) const = default;
    };
    void rescan();

    FilesForm* form_;
    std::optional<Scanned> scanned_;
};

}  // namespace pcn::gui
