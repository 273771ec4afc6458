#pragma once
// "Files" tab: the package's file table as the wizard edits it, refilled from
// the package each time the tab is shown, plus Change Path (the source files
// moved to another folder) and Re-Scan Files (which files are gone).

#include "editing/gui/sheet/CCabPropertyPage.h"

class QPushButton;

namespace pcn::gui {

class FilesForm;

class CCabPropertyPage4 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage4(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;

    FilesForm* form() const { return form_; }
    QPushButton* changePathButton() const { return changePath_; }
    QPushButton* rescanButton() const { return rescan_; }

    // Change Path: asks for the folder the files now lie in.
    void OnChangePath();
    // Re-Scan Files: lists the files that no longer exist.
    void OnReScanFiles();

private:
    bool store();

    FilesForm* form_ = nullptr;
    QPushButton* changePath_ = nullptr;
    QPushButton* rescan_ = nullptr;
    QString filledFrom_;  // the source folder the list was filled from
};

}  // namespace pcn::gui
